#include <gtest/gtest.h>

#include <QSslSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <memory>

#include "AppTestSupport.h"
#include "LoopbackServer.h"
#include "TestCertificate.h"
#include "UpdateCheckTexts.h"
#include "app/UpdateTrust.h"
#include "app/updForm.h"

using apptest::FakePrompter;
using apptest::kLatest;
using apptest::kNoVersion;
using apptest::kQuery;
using apptest::LoopbackServer;
using apptest::TestCertificate;
using zorix::Prompter;
using zorix::UpdateCheckSettings;

namespace {

// The version server over TLS on 127.0.0.1 with a certificate made for the run; a
// second certificate nobody trusts, and a third made out for another address.
class UpdateTrustTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new QTemporaryDir();
        trusted_ = MakeOne("server");
        stranger_ = MakeOne("stranger");
        elsewhere_ = MakeOne("elsewhere", "127.0.0.2");
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static TestCertificate MakeOne(const QString& name, const QString& host = "127.0.0.1") {
        return apptest::MakeTestCertificate(folder_->path(), name, host);
    }

    void SetUp() override {
        ASSERT_TRUE(QSslSocket::supportsSsl()) << "Qt has no TLS backend";
        for (const TestCertificate* made : {&trusted_, &stranger_, &elsewhere_}) {
            ASSERT_TRUE(made->error.isEmpty()) << made->error.toStdString();
        }
        settings_.webAddress = "https://maker.example";
        settings_.runningVersion = "1.0.1";
        settings_.waitLimitMs = 10000;
        settings_.caBundle = trusted_.certificatePath;
    }

    // Qt's network thread reports that it has finished before the C library frees
    // its TLS state, and OpenSSL cleans up when the process exits: a test process
    // that ends at once can see a double free or a leak under the sanitizers.
    void TearDown() override { QThread::msleep(200); }

    // A TLS server presenting `certificate`, serving `body` at the query address.
    LoopbackServer& Secure(const TestCertificate& certificate, const QByteArray& body) {
        secure_ = std::make_unique<LoopbackServer>(
            LoopbackServer::Tls{certificate.certificatePath, certificate.keyPath});
        EXPECT_TRUE(secure_->Listening());
        LoopbackServer::Page page;
        page.body = body;
        secure_->Serve(kQuery, page);
        settings_.endpoint = secure_->Root();
        return *secure_;
    }

    void Check() { zorix::RunUpdateCheck(prompter_, nullptr, settings_); }

    void ExpectOnly(const QString& text) {
        ASSERT_EQ(prompter_.shown.size(), 1u);
        EXPECT_EQ(prompter_.shown[0].text.toStdString(), text.toStdString());
    }

    static inline QTemporaryDir* folder_ = nullptr;
    static inline TestCertificate trusted_, stranger_, elsewhere_;
    std::unique_ptr<LoopbackServer> secure_;
    LoopbackServer plain_;
    FakePrompter prompter_;
    UpdateCheckSettings settings_;
};

TEST_F(UpdateTrustTest, TrustedServerIsAnswered) {
    LoopbackServer& server = Secure(trusted_, "version=1.0.1\r\n[EOF]");
    Check();
    EXPECT_EQ(server.Targets(), QStringList{kQuery});
    ExpectOnly(kLatest);
}

// A certificate that does not verify ends the connection before the request is sent,
// and counts as no reply: never as an accepted page, never as a silent end.
TEST_F(UpdateTrustTest, UnverifiedServersAreNoReply) {
    struct Row {
        const char* what;
        const TestCertificate* served;
        QString bundle;
    };
    const Row rows[] = {
        {"self-signed, no extra authority", &trusted_, QString()},
        {"signed by an authority nobody named", &stranger_, trusted_.certificatePath},
        {"trusted, made out for another address", &elsewhere_, elsewhere_.certificatePath},
        {"bundle file missing", &trusted_, folder_->filePath("none.pem")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        prompter_.shown.clear();
        LoopbackServer& server = Secure(*row.served, "version=1.0.1\r\n[EOF]");
        settings_.caBundle = row.bundle;
        Check();
        EXPECT_TRUE(server.Targets().isEmpty());
        ExpectOnly(kNoVersion);
    }
}

TEST_F(UpdateTrustTest, HttpRedirectToPlainHttpIsNotFollowed) {
    LoopbackServer::Page moved;
    moved.status = 302;
    moved.location = (plain_.Root() + "index.asp?act=get_version&vrs=1.0.1").toLatin1();
    LoopbackServer& server = Secure(trusted_, "");
    server.Serve(kQuery, moved);
    LoopbackServer::Page page;
    page.body = "version=1.0.1\r\n[EOF]";
    plain_.Serve(kQuery, page);
    Check();
    EXPECT_EQ(server.Targets(), QStringList{kQuery});
    EXPECT_TRUE(plain_.Targets().isEmpty());
    ExpectOnly(kNoVersion);
}

// A redirect line leading off HTTPS is ignored like one beyond the limit: the page
// that holds it is read to its end.
TEST_F(UpdateTrustTest, RedirectLineToPlainHttpIsIgnored) {
    LoopbackServer& server =
        Secure(trusted_, "version=1.0.1\r\nredir=" + plain_.Root().toLatin1() + "x\r\n[EOF]");
    Check();
    EXPECT_EQ(server.Targets(), QStringList{kQuery});
    EXPECT_TRUE(plain_.Targets().isEmpty());
    ExpectOnly(kLatest);
}

TEST_F(UpdateTrustTest, RedirectLineToAnotherSecurePageIsFollowed) {
    LoopbackServer& server = Secure(trusted_, "redir=/next\r\n[EOF]");
    LoopbackServer::Page next;
    next.body = "version=1.0.2\r\n[EOF]";
    server.Serve("/next", next);
    Check();
    EXPECT_EQ(server.Targets(), (QStringList{kQuery, "/next"}));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].title, "Update available");
}

TEST(UpdateTrustRules, DefaultsAreSecureAndTheBundleComesFromTheEnvironment) {
    qunsetenv("ZORIX_UPDATE_URL");
    EXPECT_TRUE(zorix::UpdateEndpoint().startsWith("https://"));
    qputenv("ZORIX_UPDATE_CA", "/scratch/ca.pem");
    EXPECT_EQ(UpdateCheckSettings().caBundle, "/scratch/ca.pem");
    qunsetenv("ZORIX_UPDATE_CA");
    EXPECT_TRUE(UpdateCheckSettings().caBundle.isEmpty());
    EXPECT_EQ(zorix::UpdateTlsConfiguration(QString()).peerVerifyMode(), QSslSocket::VerifyPeer);
}

TEST(UpdateTrustRules, OnlyLeavingHttpsCounts) {
    struct Row {
        const char* from;
        const char* to;
        bool leaves;
    };
    const Row rows[] = {
        {"https://a/x", "http://a/y", true},   {"HTTPS://a/x", "ftp://a/y", true},
        {"https://a/x", "https://b/y", false}, {"https://a/x", "HTTPS://a/y", false},
        {"http://a/x", "http://b/y", false},   {"http://a/x", "https://b/y", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(zorix::LeavesTls(QUrl(row.from), QUrl(row.to)), row.leaves)
            << row.from << " -> " << row.to;
    }
}

}  // namespace
