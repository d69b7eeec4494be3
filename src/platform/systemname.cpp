#include "systemname.h"

#include <QFile>

namespace {
// One shell-style value: single quotes keep everything up to the next single
// quote; inside double quotes and outside quotes a backslash takes the next
// character as it is ("\$", "\"", "\\", "\`"). Unquoted blanks are kept, since
// many files write NAME=Some Name without quotes.
QString unquoted(QStringView raw)
{
    QString value;
    QChar quote;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (quote == u'\'') {
            if (c == u'\'')
                quote = QChar();
            else
                value += c;
        } else if (c == u'\\' && i + 1 < raw.size() &&
                   (quote.isNull() || QStringView(u"$\"\\`").contains(raw[i + 1]))) {
            value += raw[++i];
        } else if (c == u'"' && (quote.isNull() || quote == u'"')) {
            quote = quote.isNull() ? c : QChar();
        } else if (c == u'\'' && quote.isNull()) {
            quote = c;
        } else {
            value += c;
        }
    }
    return value;
}

QString nameIn(const QByteArray &content)
{
    QString name;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1String("NAME=")))
            name = unquoted(QStringView(line).mid(5)); // the last assignment counts
    }
    // The name goes into a sentence on the screen: no control characters, one
    // blank between words.
    for (QChar &c : name)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return name.simplified();
}
} // namespace

QString systemNameFrom(const QStringList &osReleaseFiles)
{
    for (const QString &path : osReleaseFiles) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString name = nameIn(file.read(64 * 1024));
        return name.isEmpty() ? QStringLiteral("系统") : name;
    }
    return QStringLiteral("系统");
}

QString systemName()
{
    static const QString name =
        systemNameFrom({QStringLiteral("/etc/os-release"), QStringLiteral("/usr/lib/os-release")});
    return name;
}
