// Reading media command texts.
#include "mediacommand.h"
#include "mediaerrors.h"

#include <gtest/gtest.h>

namespace {

MediaCommand parsed(const QString &text)
{
    MediaCommand command;
    EXPECT_EQ(parseMediaCommand(text, command), 0u) << text.toStdString();
    return command;
}

quint32 errorOf(const QString &text)
{
    MediaCommand command;
    return parseMediaCommand(text, command);
}

TEST(MediaCommandText, OpenTakesTheLastAliasKeywordSoNamesMayHoldBlanks)
{
    const MediaCommand plain = parsed("open /music/song.mid alias tune");
    EXPECT_EQ(plain.verb, MediaCommand::Verb::Open);
    EXPECT_EQ(plain.fileName, "/music/song.mid");
    EXPECT_EQ(plain.alias, "tune");

    const MediaCommand blanks = parsed("open /my music/a alias b.mid alias tune");
    EXPECT_EQ(blanks.fileName, "/my music/a alias b.mid");
    EXPECT_EQ(blanks.alias, "tune");

    const MediaCommand quoted = parsed("OPEN \"/my music/x.mid\" ALIAS Tune");
    EXPECT_EQ(quoted.fileName, "/my music/x.mid");
    EXPECT_EQ(quoted.aliasKey(), "tune");

    // Shell characters are just characters of the name.
    EXPECT_EQ(parsed("open /tmp/$(touch x);a&b|c.mid alias tune").fileName,
              "/tmp/$(touch x);a&b|c.mid");
}

TEST(MediaCommandText, PlayStopAndCloseNameOneAlias)
{
    EXPECT_EQ(parsed("play tune from 0").verb, MediaCommand::Verb::Play);
    EXPECT_EQ(parsed("play tune").alias, "tune");
    EXPECT_EQ(parsed("Play TUNE From 0").aliasKey(), "tune");
    EXPECT_EQ(parsed("stop tune").verb, MediaCommand::Verb::Stop);
    EXPECT_EQ(parsed("close  tune ").verb, MediaCommand::Verb::Close);
    EXPECT_EQ(parsed("close  tune ").alias, "tune");
}

TEST(MediaCommandText, MalformedCommandsAreRefused)
{
    EXPECT_EQ(errorOf(""), MediaError::UnknownCommand);
    EXPECT_EQ(errorOf("   "), MediaError::UnknownCommand);
    EXPECT_EQ(errorOf("rewind tune"), MediaError::UnknownCommand);
    EXPECT_EQ(errorOf("open"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("open /music/song.mid"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("open alias tune"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("open /music/song.mid alias "), MediaError::BadArgument);
    EXPECT_EQ(errorOf("open /music/song.mid alias two words"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("play"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("play tune from 5"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("play tune wait"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("stop"), MediaError::BadArgument);
    EXPECT_EQ(errorOf("close a b"), MediaError::BadArgument);
}

} // namespace
