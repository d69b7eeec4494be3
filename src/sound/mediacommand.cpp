#include "mediacommand.h"

#include "mediaerrors.h"

#include <QStringList>

namespace {

bool isSingleWord(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c.isSpace())
            return false;
    }
    return true;
}

QString withoutSurroundingQuotes(const QString &name)
{
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        return name.mid(1, name.size() - 2);
    return name;
}

// "<file> alias <alias>": the file name may itself contain " alias ", so the
// last occurrence is the keyword.
quint32 parseOpen(const QString &rest, MediaCommand &out)
{
    static const QString keyword = QStringLiteral(" alias ");
    const qsizetype at = rest.lastIndexOf(keyword, -1, Qt::CaseInsensitive);
    if (at <= 0)
        return MediaError::BadArgument;
    const QString fileName = withoutSurroundingQuotes(rest.left(at));
    const QString alias = rest.mid(at + keyword.size()).trimmed();
    if (fileName.trimmed().isEmpty() || !isSingleWord(alias))
        return MediaError::BadArgument;
    out.verb = MediaCommand::Verb::Open;
    out.fileName = fileName;
    out.alias = alias;
    return MediaError::None;
}

quint32 parsePlay(const QStringList &words, MediaCommand &out)
{
    // Only playing from the start is offered.
    const bool fromStart = words.size() == 3 &&
                           words[1].compare(u"from", Qt::CaseInsensitive) == 0 && words[2] == u"0";
    if (words.size() != 1 && !fromStart)
        return MediaError::BadArgument;
    out.verb = MediaCommand::Verb::Play;
    out.alias = words[0];
    out.fileName.clear();
    return MediaError::None;
}

} // namespace

quint32 parseMediaCommand(const QString &text, MediaCommand &out)
{
    const QString trimmed = text.trimmed();
    const qsizetype gap = trimmed.indexOf(u' ');
    const QString verb = (gap < 0 ? trimmed : trimmed.left(gap)).toLower();
    const QString rest = gap < 0 ? QString() : trimmed.mid(gap + 1).trimmed();

    if (verb == u"open")
        return rest.isEmpty() ? MediaError::BadArgument : parseOpen(rest, out);

    const QStringList words = rest.split(u' ', Qt::SkipEmptyParts);
    if (verb == u"play")
        return words.isEmpty() ? MediaError::BadArgument : parsePlay(words, out);
    if (verb == u"stop" || verb == u"close") {
        if (words.size() != 1)
            return MediaError::BadArgument;
        out.verb = verb == u"stop" ? MediaCommand::Verb::Stop : MediaCommand::Verb::Close;
        out.alias = words[0];
        out.fileName.clear();
        return MediaError::None;
    }
    return MediaError::UnknownCommand;
}
