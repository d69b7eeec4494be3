#include "module_ovifiledlg.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

namespace {
const QChar kNul(u'\0');

OpenDialogResponder &responder()
{
    static OpenDialogResponder r;
    return r;
}

// The dialog's own form of a pair: "声音文件 (*.wav *.mid)". A list of patterns
// in brackets at the end of the description is shown once, not twice.
QString nameFilterOf(const FilterPair &pair)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString description = pair.description;
    description.remove(trailingPatterns);
    QStringList patterns;
    for (const QString &p : pair.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = p.trimmed();
        // "*.*" means every file; names without a dot have no extension here.
        if (trimmed == QLatin1String("*.*"))
            patterns << QStringLiteral("*");
        else if (!trimmed.isEmpty())
            patterns << trimmed;
    }
    if (description.isEmpty())
        description = pair.description;
    return QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
}

QString runFileDialog(const OpenDialogRequest &request)
{
    // With no folder to start from, the person's own folder, not wherever the clock
    // happened to be started.
    const QString folder = request.initialDir.isEmpty() ? QDir::homePath() : request.initialDir;
    QFileDialog dialog(request.owner, request.title, folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setObjectName(QStringLiteral("openFileDialog"));
    dialog.setAccessibleName(request.title);
    QStringList nameFilters;
    for (const FilterPair &pair : request.pairs)
        nameFilters << nameFilterOf(pair);
    dialog.setNameFilters(nameFilters);
    if (request.selectedPair >= 0 && request.selectedPair < nameFilters.size())
        dialog.selectNameFilter(nameFilters.at(request.selectedPair));
    if (!request.defaultName.isEmpty())
        dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
} // namespace

QString normalisedFilter(const QString &filter)
{
    QString f = filter;
    if (f.trimmed().isEmpty())
        f = QStringLiteral("所有文件") + kNul + QStringLiteral("*.*");
    if (!f.endsWith(QString(2, kNul)))
        f += f.endsWith(kNul) ? QString(kNul) : QString(2, kNul);
    return f;
}

QList<FilterPair> filterPairs(const QString &filter)
{
    // The list ends at the first empty text (the closing double NUL).
    const QStringList texts = filter.split(kNul);
    QList<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2) {
        if (texts.at(i).isEmpty())
            break;
        if (!texts.at(i + 1).trimmed().isEmpty())
            pairs.append({texts.at(i), texts.at(i + 1)});
    }
    return pairs;
}

QString ShowOpenDialog(QWidget *owner, const QString &title, const QString &filter,
                       const QString &initialDir, const QString &defaultName)
{
    OpenDialogRequest request;
    request.owner = owner;
    request.title = title;
    request.filter = normalisedFilter(filter);
    request.pairs = filterPairs(request.filter);
    if (request.pairs.isEmpty())
        request.pairs.append({QStringLiteral("所有文件"), QStringLiteral("*.*")});
    request.selectedPair = 0;
    request.initialDir = initialDir;
    request.defaultName = defaultName;

    const QString chosen = responder() ? responder()(request) : runFileDialog(request);
    // The path ends at its first NUL.
    const qsizetype end = chosen.indexOf(kNul);
    return end < 0 ? chosen : chosen.left(end);
}

void setOpenDialogResponderForTesting(OpenDialogResponder r)
{
    responder() = std::move(r);
}
