#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AppTestSupport.h"
#include "LoopbackServer.h"
#include "UpdateCheckTexts.h"
#include "app/mainForm.h"
#include "app/updForm.h"
#include "button/VkButton.h"

using apptest::FakePrompter;
using apptest::kLatest;
using apptest::kNoVersion;
using apptest::kQuery;
using apptest::LoopbackServer;
using zorix::Prompter;
using zorix::UpdateCheckSettings;

namespace {

class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Listening());
        settings_.endpoint = server_.Root();
        settings_.webAddress = "http://maker.example";
        settings_.runningVersion = "1.0.1";
        settings_.waitLimitMs = 5000;
    }

    void Serve(const QByteArray& target, const QByteArray& body,
               const QByteArray& type = "text/plain") {
        LoopbackServer::Page page;
        page.body = body;
        page.contentType = type;
        server_.Serve(target, page);
    }

    // Runs the whole "Check for updates" command and returns how long it took.
    qint64 Check() {
        QElapsedTimer clock;
        clock.start();
        zorix::RunUpdateCheck(prompter_, nullptr, settings_);
        return clock.elapsed();
    }

    void ExpectShown(size_t index, const QString& text, const QString& title, Prompter::Icon icon) {
        ASSERT_GT(prompter_.shown.size(), index);
        EXPECT_EQ(prompter_.shown[index].text.toStdString(), text.toStdString());
        EXPECT_EQ(prompter_.shown[index].title.toStdString(), title.toStdString());
        EXPECT_EQ(prompter_.shown[index].icon, icon);
        EXPECT_EQ(prompter_.shown[index].buttons, Prompter::Buttons::Ok);
    }

    // Clicks the update window's cancel button once it is waiting.
    void CancelWhenWaiting(int afterMs) {
        QTimer::singleShot(afterMs, [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<zorix::updForm*>(widget);
                if (form && form->IsChecking()) {
                    QTest::mouseClick(form->cancelBUT(), Qt::LeftButton);
                }
            }
        });
    }

    LoopbackServer server_;
    FakePrompter prompter_;
    UpdateCheckSettings settings_;
};

TEST_F(UpdateCheckTest, RequestAddressCarriesTheRunningVersion) {
    Serve(kQuery, "version=1.0.1\r\n[EOF]");
    Check();
    EXPECT_EQ(server_.Targets(), QStringList{kQuery});
}

// Replies that end in one message: equal and older versions and the end mark in lower
// case say "no update"; no end mark, only a comment, an empty version or an empty page
// say "no version".
TEST_F(UpdateCheckTest, RepliesWithOneMessage) {
    struct Row {
        const char* body;
        bool hasVersion;
    };
    const Row rows[] = {
        {"version=1.0.1\r\n[EOF]", true},     {"version=1.0.0\r\n[EOF]", true},
        {"version=1.00.0001\r\n[eof]", true}, {"version=1.0.1\r\nredir=\r\n[EOF]", true},
        {"version=9.9.9\r\n", false},         {"@version=9.9.9\r\n[EOF]", false},
        {"version=\r\n[EOF]", false},         {"", false},
    };
    for (const Row& row : rows) {
        prompter_.shown.clear();
        Serve(kQuery, row.body);
        Check();
        SCOPED_TRACE(row.body);
        EXPECT_EQ(prompter_.shown.size(), 1u);
        if (row.hasVersion) {
            ExpectShown(0, kLatest, "No updates available", Prompter::Icon::Information);
        } else {
            ExpectShown(0, kNoVersion, "", Prompter::Icon::Exclamation);
        }
    }
}

TEST_F(UpdateCheckTest, NewerVersionIsAnnouncedWithItsDate) {
    Serve(kQuery, "version=1.0.2\r\nrelease_date=2024-03-07\r\n[EOF]");
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    ExpectShown(0,
                "There is a new version update available for download.\nPlease visit "
                "http://maker.example.\n\nInstalled version: 1.0.1\n\nAvailable version: "
                "1.0.2   Released: 2024-03-07",
                "Update available", Prompter::Icon::Information);
}

TEST_F(UpdateCheckTest, InvalidDateIsLeftOut) {
    Serve(kQuery, "version=1.0.10\r\nrdate=2024-02-31\r\n[EOF]");
    settings_.runningVersion = "1.0.1";
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_TRUE(prompter_.shown[0].text.endsWith("Available version: 1.0.10"));
    EXPECT_EQ(prompter_.shown[0].title, "Update available");
}

TEST_F(UpdateCheckTest, HtmlPageIsReadAsItsText) {
    Serve(kQuery, "<html><body><p>version=1.0.3</p><p>[EOF]</p></body></html>", "text/html");
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].title, "Update available");
}

TEST_F(UpdateCheckTest, MessageWithTitleFollowsTheVersionResult) {
    Serve(kQuery, "version=1.0.1\r\nmsgbox=First line\\nSecond line|Server news\r\n[EOF]");
    Check();
    ASSERT_EQ(prompter_.shown.size(), 2u);
    ExpectShown(0, kLatest, "No updates available", Prompter::Icon::Information);
    ExpectShown(1, "First line\nSecond line", "Server news", Prompter::Icon::Information);
}

TEST_F(UpdateCheckTest, MessageWithoutTitleIsShownAsZorix) {
    Serve(kQuery, "say=Hello there\r\n[EOF]");
    Check();
    ASSERT_EQ(prompter_.shown.size(), 2u);
    ExpectShown(0, kNoVersion, "", Prompter::Icon::Exclamation);
    ExpectShown(1, "Hello there", "Zorix", Prompter::Icon::Information);
}

TEST_F(UpdateCheckTest, ThreeRedirectsAreFollowedAndTheFourthIgnored) {
    Serve(kQuery,
          "version=5\r\nmsg=dropped|x\r\nredir=" + server_.Root().toLatin1() + "r1\r\n[EOF]");
    Serve("/r1", "redirect=/r2\r\n[EOF]");
    Serve("/r2", "redir=" + server_.Root().toLatin1() + "r3\r\n[EOF]");
    Serve("/r3", "version=1.0.2\r\nredir=" + server_.Root().toLatin1() +
                     "r4\r\nrdate=2023-12-25\r\n[EOF]");
    Serve("/r4", "version=7.0.0\r\n[EOF]");
    Check();
    EXPECT_EQ(server_.Targets(), (QStringList{kQuery, "/r1", "/r2", "/r3"}));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].title, "Update available");
    EXPECT_TRUE(prompter_.shown[0].text.endsWith("Available version: 1.0.2   Released: 2023-12-25"))
        << prompter_.shown[0].text.toStdString();
}

TEST_F(UpdateCheckTest, ValuesBeforeARedirectAreDropped) {
    Serve(kQuery, "version=9.0\r\nmsg=old|x\r\nredir=/next\r\n[EOF]");
    Serve("/next", "rdate=2020-01-01\r\n[EOF]");
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    ExpectShown(0, kNoVersion, "", Prompter::Icon::Exclamation);
}

TEST_F(UpdateCheckTest, ServerThatNeverAnswersEndsSilentlyAtTheLimit) {
    LoopbackServer::Page silent;
    silent.silent = true;
    server_.Serve(kQuery, silent);
    settings_.waitLimitMs = 400;
    const qint64 took = Check();
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_GE(took, 380);
    EXPECT_LT(took, 4000);
    EXPECT_EQ(server_.Targets(), QStringList{kQuery});
}

TEST_F(UpdateCheckTest, CancelDuringTheWaitEndsSilently) {
    LoopbackServer::Page silent;
    silent.silent = true;
    server_.Serve(kQuery, silent);
    settings_.waitLimitMs = 20000;
    CancelWhenWaiting(200);
    const qint64 took = Check();
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_LT(took, 5000);
}

TEST_F(UpdateCheckTest, EscapeDuringTheWaitCountsAsCancel) {
    LoopbackServer::Page silent;
    silent.silent = true;
    server_.Serve(kQuery, silent);
    settings_.waitLimitMs = 20000;
    QTimer::singleShot(200, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<zorix::updForm*>(widget); form && form->IsChecking()) {
                form->reject();
                EXPECT_TRUE(form->isVisible());
                EXPECT_FALSE(form->cancelBUT()->isEnabled());
            }
        }
    });
    const qint64 took = Check();
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_LT(took, 5000);
}

TEST_F(UpdateCheckTest, ServerThatIsDownGivesNoVersion) {
    settings_.endpoint = server_.Root();
    server_.Close();
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    ExpectShown(0, kNoVersion, "", Prompter::Icon::Exclamation);
}

TEST_F(UpdateCheckTest, ErrorPageWithoutEndMarkGivesNoVersion) {
    Check();  // nothing served: 404
    ASSERT_EQ(prompter_.shown.size(), 1u);
    ExpectShown(0, kNoVersion, "", Prompter::Icon::Exclamation);
}

TEST_F(UpdateCheckTest, OversizedReplyIsDropped) {
    Serve(kQuery, QByteArray(zorix::updForm::kMaxPageBytes + 10, 'a') + "\r\nversion=1\r\n[EOF]");
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    ExpectShown(0, kNoVersion, "", Prompter::Icon::Exclamation);
}

TEST_F(UpdateCheckTest, AddressWithoutATransportNeedsTheSystem) {
    settings_.endpoint = "gopher://127.0.0.1/";
    Check();
    ASSERT_EQ(prompter_.shown.size(), 1u);
    ExpectShown(0, "This feature requires MS Internet Explorer 5.5 or higher.",
                "System requirements", Prompter::Icon::Exclamation);
}

TEST_F(UpdateCheckTest, EachCheckAsksTheServerAgain) {
    Serve(kQuery, "version=1.0.1\r\n[EOF]");
    Check();
    Serve(kQuery, "version=1.0.2\r\n[EOF]");
    Check();
    EXPECT_EQ(server_.Targets(), (QStringList{kQuery, kQuery}));
    ASSERT_EQ(prompter_.shown.size(), 2u);
    EXPECT_EQ(prompter_.shown[1].title, "Update available");
}

TEST_F(UpdateCheckTest, SecureAddressesHaveATransport) {
    QNetworkAccessManager manager;
    EXPECT_TRUE(manager.supportedSchemes().contains("https"));
    EXPECT_TRUE(manager.supportedSchemes().contains("http"));
}

TEST_F(UpdateCheckTest, WindowCaptionAndText) {
    zorix::updForm form(prompter_, settings_);
    EXPECT_EQ(form.windowTitle(), "Checking for updates...");
    EXPECT_EQ(form.text()->text(), "Contacting website. Please wait...");
    EXPECT_EQ(form.cancelBUT()->Caption(), "&Cancel");
    EXPECT_TRUE(form.isModal());
}

TEST_F(UpdateCheckTest, MenuItemAsksTheServerNamedByTheEnvironment) {
    const QString target = "/index.asp?act=get_version&vrs=" + zorix::RunningVersion();
    Serve(target.toLatin1(), "version=" + zorix::RunningVersion().toLatin1() + "\r\n[EOF]");
    qputenv("ZORIX_UPDATE_URL", server_.Root().toLatin1());
    apptest::ClearStore();
    {
        prompter_.defaultAnswer = Prompter::Answer::No;
        zorix::mainForm form(prompter_);
        form.Startup();
        QAction* item = form.findChild<QAction*>("mCheckUpd");
        ASSERT_NE(item, nullptr);
        item->trigger();
    }
    qunsetenv("ZORIX_UPDATE_URL");
    apptest::ClearStore();
    EXPECT_EQ(server_.Targets(), QStringList{target});
    ASSERT_GE(prompter_.shown.size(), 1u);
    ExpectShown(0, kLatest, "No updates available", Prompter::Icon::Information);
}

}  // namespace
