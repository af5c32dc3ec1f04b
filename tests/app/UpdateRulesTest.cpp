#include <gtest/gtest.h>

#include <QDate>

#include "app/CompareVersions.h"
#include "app/PageText.h"
#include "app/PaletteLimitRules.h"
#include "app/UpdateCheck.h"
#include "app/UpdateReply.h"

using namespace zorix;

namespace {

// ---------------------------------------------------------------------------
// CompareVersions

TEST(CompareVersionsTest, LeadingZerosAndMissingPartsNormalise) {
    EXPECT_EQ(CompareVersions("1.00.0001", "1.0.1"), 0);
    EXPECT_EQ(NormalisedVersion("1.00.0001"), "1.0.1.0");
    EXPECT_EQ(NormalisedVersion(""), "0.0.0.0");
    EXPECT_EQ(NormalisedVersion("1.2.3.4.5"), "1.2.3.4");
    EXPECT_EQ(CompareVersions("1.0.0.0.9", "1.0"), 0);
}

TEST(CompareVersionsTest, OrderOfTheResult) {
    EXPECT_EQ(CompareVersions("1.0.1", "1.0.2"), 2);
    EXPECT_EQ(CompareVersions("1.0.2", "1.0.1"), 1);
    EXPECT_EQ(CompareVersions("1.0.1", "1.0"), 1);
    EXPECT_EQ(CompareVersions("1.0", "1.0.1"), 2);
}

TEST(CompareVersionsTest, PartsCompareAsText) {
    EXPECT_EQ(CompareVersions("1.0.9", "1.0.10"), 1);
    EXPECT_EQ(CompareVersions("2", "10"), 1);
    EXPECT_EQ(CompareVersions("1.0.010", "1.0.9"), 2);
}

TEST(CompareVersionsTest, PartsThatAreNoNumberCountAsTheirLeadingDigits) {
    EXPECT_EQ(NormalisedVersion("1.beta.2rc"), "1.0.2.0");
    EXPECT_EQ(NormalisedVersion(" 3 . 04"), "3.4.0.0");
    EXPECT_EQ(NormalisedVersion("-0.-01"), "0.-1.0.0");
    // Long parts keep their digits instead of overflowing.
    EXPECT_EQ(NormalisedVersion("99999999999999999999999"), "99999999999999999999999.0.0.0");
}

// ---------------------------------------------------------------------------
// Reply validity and reading

TEST(UpdateReplyTest, EndMarkInAnyCaseAtTheVeryEnd) {
    EXPECT_TRUE(IsValidReply("version=1.0.1\r\n[EOF]"));
    EXPECT_TRUE(IsValidReply("version=1.0.1\r\n[eof]"));
    EXPECT_TRUE(IsValidReply("[EoF]"));
    EXPECT_FALSE(IsValidReply("version=1.0.1"));
    EXPECT_FALSE(IsValidReply("[EOF]\r\n"));
    EXPECT_FALSE(IsValidReply("EOF]"));
    EXPECT_FALSE(IsValidReply(""));
}

TEST(UpdateReplyTest, KeysAndSynonyms) {
    const UpdateReply a = ReadReply(
        "Version = 1.2.3 \r\nRelease Date=2024-05-06\r\nMSG=Hello|Title\r\nbeta=1\r\n[EOF]", true);
    EXPECT_EQ(a.version, "1.2.3");
    EXPECT_EQ(a.releaseDate, QDate(2024, 5, 6));
    EXPECT_EQ(a.message, "Hello|Title");
    EXPECT_TRUE(a.redirect.isEmpty());
    for (const char* key : {"release_date", "rdate"}) {
        EXPECT_EQ(ReadReply(QString(key) + "=2020-01-02\r\n[EOF]", true).releaseDate,
                  QDate(2020, 1, 2))
            << key;
    }
    for (const char* key : {"msgbox", "say"}) {
        EXPECT_EQ(ReadReply(QString(key) + "=x|y\r\n[EOF]", true).message, "x|y") << key;
    }
}

TEST(UpdateReplyTest, CommentsEmptyLinesAndUnknownKeysAreIgnored) {
    const UpdateReply reply = ReadReply(
        "@version=9.9.9\r\n\r\nno equals sign\r\nother=1\r\n"
        "version=1.0.1\r\n [EOF]",
        true);
    EXPECT_EQ(reply.version, "1.0.1");
    EXPECT_EQ(ReadReply("@version=9.9.9\r\n[EOF]", true).version, "");
}

TEST(UpdateReplyTest, OnlyCrLfSeparatesLines) {
    // A bare line feed stays inside the value.
    EXPECT_EQ(ReadReply("version=1.0.1\nmsg=x\r\n[EOF]", true).version, "1.0.1\nmsg=x");
}

TEST(UpdateReplyTest, ValueKeepsLaterEqualsSigns) {
    EXPECT_EQ(ReadReply("msg=a=b|c\r\n[EOF]", true).message, "a=b|c");
}

TEST(UpdateReplyTest, LaterLinesOverrideEarlierOnes) {
    const UpdateReply reply = ReadReply(
        "version=1.0.1\r\nrdate=2020-01-01\r\nversion=1.0.5\r\n"
        "release_date=2021-02-03\r\nsay=a\r\nmsgbox=b\r\n[EOF]",
        true);
    EXPECT_EQ(reply.version, "1.0.5");
    EXPECT_EQ(reply.releaseDate, QDate(2021, 2, 3));
    EXPECT_EQ(reply.message, "b");
}

TEST(UpdateReplyTest, InvalidDateIsIgnoredAndKeepsAnEarlierOne) {
    EXPECT_FALSE(ReadReply("rdate=2024-13-45\r\n[EOF]", true).releaseDate.isValid());
    EXPECT_FALSE(ReadReply("rdate=soon\r\n[EOF]", true).releaseDate.isValid());
    EXPECT_EQ(ReadReply("rdate=2020-01-01\r\nrdate=never\r\n[EOF]", true).releaseDate,
              QDate(2020, 1, 1));
}

TEST(UpdateReplyTest, RedirectStopsReadingAndDropsEverythingBefore) {
    const UpdateReply reply =
        ReadReply("version=1.0.1\r\nmsg=a|b\r\nredir=http://x/\r\nversion=2\r\n[EOF]", true);
    EXPECT_EQ(reply.redirect, "http://x/");
    EXPECT_TRUE(reply.version.isEmpty());
    EXPECT_TRUE(reply.message.isEmpty());
    EXPECT_EQ(ReadReply("redirect=http://y/\r\n[EOF]", true).redirect, "http://y/");
}

TEST(UpdateReplyTest, EmptyOrForbiddenRedirectIsReadPast) {
    const UpdateReply empty = ReadReply("redir=\r\nversion=1.0.1\r\n[EOF]", true);
    EXPECT_TRUE(empty.redirect.isEmpty());
    EXPECT_EQ(empty.version, "1.0.1");
    const UpdateReply spent = ReadReply("redir=http://x/\r\nversion=1.0.2\r\n[EOF]", false);
    EXPECT_TRUE(spent.redirect.isEmpty());
    EXPECT_EQ(spent.version, "1.0.2");
}

TEST(UpdateReplyTest, ReleaseDateForms) {
    const QDate day(2024, 3, 7);
    for (const char* text :
         {"2024-03-07", "2024-3-7", "2024/03/07", "03/07/2024", "7.3.2024", "7 Mar 2024",
          "7 March 2024", "March 7, 2024", "20240307", "2024-03-07T10:00:00"}) {
        EXPECT_EQ(ParseReleaseDate(text), day) << text;
    }
    EXPECT_EQ(ParseReleaseDate("25/12/2023"), QDate(2023, 12, 25));
    for (const char* text : {"", "2024-02-30", "yesterday", "1.0.2", "13/13/2024"}) {
        EXPECT_FALSE(ParseReleaseDate(text).isValid()) << text;
    }
}

// ---------------------------------------------------------------------------
// Page text

TEST(PageTextTest, PlainTextGetsCrLfLinesAndNoTrailingBreak) {
    EXPECT_EQ(PageText("version=1.0.1\n[EOF]\n", "text/plain"), "version=1.0.1\r\n[EOF]");
    EXPECT_EQ(PageText("a\r\nb\rc\r\n\r\n", "text/plain; charset=utf-8"), "a\r\nb\r\nc");
}

TEST(PageTextTest, HtmlBecomesItsVisibleText) {
    const QString text = PageText(
        "<html><head><title>t</title></head><body><p>version=1.0.1</p>"
        "<p>msg=caf&eacute; &amp; co|T</p><!-- version=9 -->[EOF]</body></html>",
        "text/html");
    EXPECT_EQ(text, QString::fromUtf8("version=1.0.1\r\nmsg=café & co|T\r\n[EOF]"));
    EXPECT_EQ(PageText("version=1.0.1<br>[EOF]", "text/html"), "version=1.0.1\r\n[EOF]");
}

TEST(PageTextTest, UntypedMarkupIsTakenAsHtml) {
    EXPECT_EQ(PageText("<b>version=1</b><br>[EOF]", ""), "version=1\r\n[EOF]");
    EXPECT_EQ(PageText("version=<1>", ""), "version=<1>");
}

TEST(PageTextTest, DeclaredCharsetDecodes) {
    EXPECT_EQ(PageText("msg=caf\xe9", "text/plain; charset=ISO-8859-1"),
              QString::fromUtf8("msg=café"));
    EXPECT_EQ(PageText("msg=caf\xc3\xa9", "text/plain"), QString::fromUtf8("msg=café"));
}

// ---------------------------------------------------------------------------
// Texts of the check

TEST(UpdateTextsTest, RequestAddress) {
    EXPECT_EQ(RequestAddress("http://h/zorix/", "1.0.1"),
              "http://h/zorix/index.asp?act=get_version&vrs=1.0.1");
    EXPECT_EQ(RequestAddress("http://127.0.0.1:8080", "1.2.3"),
              "http://127.0.0.1:8080/index.asp?act=get_version&vrs=1.2.3");
}

TEST(UpdateTextsTest, EndpointFromTheEnvironmentFirst) {
    const QByteArray saved = qgetenv("ZORIX_UPDATE_URL");
    qputenv("ZORIX_UPDATE_URL", "http://127.0.0.1:9/x/");
    EXPECT_EQ(UpdateEndpoint(), "http://127.0.0.1:9/x/");
    qunsetenv("ZORIX_UPDATE_URL");
    EXPECT_FALSE(UpdateEndpoint().isEmpty());
    EXPECT_NE(UpdateEndpoint(), "http://127.0.0.1:9/x/");
    if (!saved.isEmpty()) {
        qputenv("ZORIX_UPDATE_URL", saved);
    }
}

TEST(UpdateTextsTest, RunningVersionHasThreeNumbers) {
    const QStringList parts = RunningVersion().split('.');
    ASSERT_EQ(parts.size(), 3);
    for (const QString& part : parts) {
        bool ok = false;
        part.toInt(&ok);
        EXPECT_TRUE(ok) << part.toStdString();
    }
}

TEST(UpdateTextsTest, UpdateAvailableText) {
    EXPECT_EQ(UpdateAvailableText("http://w", "1.0.1", "1.0.2", QDate()),
              "There is a new version update available for download.\nPlease visit http://w."
              "\n\nInstalled version: 1.0.1\n\nAvailable version: 1.0.2");
    EXPECT_TRUE(UpdateAvailableText("http://w", "1", "2", QDate(2024, 1, 9))
                    .endsWith("Available version: 2   Released: 2024-01-09"));
}

TEST(UpdateTextsTest, ServerMessagePieces) {
    const ServerMessage both = SplitServerMessage("Line one\\nLine two|News");
    EXPECT_EQ(both.text, "Line one\nLine two");
    EXPECT_EQ(both.title, "News");
    const ServerMessage plain = SplitServerMessage("Just this\\n");
    EXPECT_EQ(plain.text, "Just this\n");
    EXPECT_EQ(plain.title, "Zorix");
    const ServerMessage extra = SplitServerMessage("a|b|c");
    EXPECT_EQ(extra.text, "a");
    EXPECT_EQ(extra.title, "b");
    EXPECT_EQ(SplitServerMessage("text|").title, "");
}

// ---------------------------------------------------------------------------
// Palette limit box

TEST(PaletteLimitRulesTest, OnlyDigitsAreTyped) {
    for (const char* key : {"0", "5", "9", "\b", "", "\x7f", "\x16"}) {
        EXPECT_TRUE(IsAcceptedPaletteKey(key)) << key;
    }
    for (const char* key : {"a", "-", "+", ".", " ", "e", "Z"}) {
        EXPECT_FALSE(IsAcceptedPaletteKey(key)) << key;
    }
    EXPECT_FALSE(IsAcceptedPaletteKey(QString::fromUtf8("\xd9\xa3")));  // Arabic-Indic three
    EXPECT_EQ(PaletteDigitsOnly("1a2-3 .x"), "123");
    EXPECT_EQ(PaletteDigitsOnly("abc"), "");
}

TEST(PaletteLimitRulesTest, CorrectionsOnLeavingTheBox) {
    EXPECT_EQ(CorrectedPaletteText("abc", 37), "37");
    EXPECT_EQ(CorrectedPaletteText("", 0), "0");
    EXPECT_EQ(CorrectedPaletteText("-5", 37), "250");
    EXPECT_EQ(CorrectedPaletteText("-0.5", 37), "250");
    EXPECT_EQ(CorrectedPaletteText("12", 37), "12");
    EXPECT_EQ(CorrectedPaletteText(" 2.5 ", 37), " 2.5 ");
    EXPECT_EQ(CorrectedPaletteText("12000", 37), "12000");
}

TEST(PaletteLimitRulesTest, StoredLimit) {
    EXPECT_EQ(PaletteLimitOf("250", true), 250);
    EXPECT_EQ(PaletteLimitOf("250", false), 0);
    EXPECT_EQ(PaletteLimitOf("2.5", true), 2);
    EXPECT_EQ(PaletteLimitOf("3.5", true), 4);
    EXPECT_EQ(PaletteLimitOf("12000", true), 12000);
    EXPECT_EQ(PaletteLimitOf("99999999999999999999", true), 2147483647);
}

}  // namespace
