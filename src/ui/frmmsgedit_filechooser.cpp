// The browse button of the editor: picks the file an alarm plays or runs.
#include "frmmsgedit.h"

#include "alarmitem.h"
#include "module_ovifiledlg.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QChar kNul(u'\0');
const QChar kSeparator(u'/');
} // namespace

QString frmMsgEdit::DirectoryOfPath(const QString &path)
{
    const QString s = trimBlanks(path);
    const qsizetype last = s.lastIndexOf(kSeparator);
    if (s.size() < 3 || last < 0)
        return {};
    return s.left(last);
}

void frmMsgEdit::cmdBrowFile_Click()
{
    const QString folder = DirectoryOfPath(trimBlanks(txtFed[7]->text()));
    const QString initialDir = !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();

    QString filter;
    if (comboWhatToDo->currentText().startsWith(QLatin1Char('1')))
        filter = QStringLiteral("声音文件(*.wav; *.mid)") + kNul + QStringLiteral("*.wav;*.mid");
    else
        filter = QStringLiteral("所有文件(*.*)") + kNul + QStringLiteral("*.*");
    filter += kNul;
    filter += kNul;

    const QString title = QStringLiteral("选择文件：") + initialDir;
    const QString chosen = ShowOpenDialog(cmdBrowFile, title, filter, initialDir, QString());
    if (trimBlanks(chosen).isEmpty())
        return;
    txtFed[7]->setText(chosen);
    // Said at once, not only when the item is stored.
    fieldFits(7);
}
