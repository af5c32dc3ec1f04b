#include "app/updForm.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "app/CommandButton.h"
#include "app/CompareVersions.h"
#include "app/PageText.h"
#include "app/Prompter.h"
#include "app/UpdateReply.h"
#include "button/VkButton.h"

namespace zorix {

namespace {

const QString kNoVersionText =
    QStringLiteral("Unable to retrieve version information from the Internet.");

// Errors of the connection itself (refused, TLS, insecure redirect) as opposed to
// the server's answer; Qt numbers those below its proxy and content errors.
bool IsTransportError(QNetworkReply::NetworkError error) {
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

}  // namespace

updForm::updForm(Prompter& prompter, const UpdateCheckSettings& settings, QWidget* parent)
    : QDialog(parent),
      prompter_(prompter),
      settings_(settings),
      wb1_(new QNetworkAccessManager(this)),
      text_(new QLabel(QStringLiteral("Contacting website. Please wait..."), this)),
      cancelBUT_(CommandButton(QStringLiteral("cancelBUT"), QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("updForm"));
    setWindowTitle(QStringLiteral("Checking for updates..."));
    setModal(true);
    // A check always goes to the server itself: no system proxy, no cache.
    wb1_->setObjectName(QStringLiteral("wb1"));
    wb1_->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    wb1_->setCache(nullptr);
    text_->setObjectName(QStringLiteral("text"));
    connect(cancelBUT_, &VkButton::Click, this, &updForm::cancelBUT_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(cancelBUT_, 0, Qt::AlignRight);
    setFixedSize(300, 90);
}

updForm::~updForm() {
    Stop();
}

void updForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (firstActivation_) {
        firstActivation_ = false;
        // Once the window is up: the check runs from the window's own event loop.
        QTimer::singleShot(0, this, &updForm::RunCheck);
    }
}

void updForm::reject() {
    // Escape or the close box during the wait count as cancel; the check closes us.
    if (checking_) {
        cancelBUT_Click();
        return;
    }
    QDialog::reject();
}

void updForm::cancelBUT_Click() {
    cancelBUT_->SetEnabled(false);
    cancelled_ = true;
    emit cancelPressed();
}

void updForm::RunCheck() {
    checking_ = true;
    try {
        Check();
    } catch (const std::exception&) {
        failed_ = true;
    }
    Stop();
    checking_ = false;
    done(QDialog::Accepted);
}

void updForm::Check() {
    QString address = RequestAddress(settings_.endpoint, settings_.runningVersion);
    int redirects = 0;
    for (;;) {
        QString page;
        const Fetched fetched = Fetch(address, &page);
        if (fetched == Fetched::NoTransport) {
            failed_ = true;
            return;
        }
        if (fetched != Fetched::Page) {
            return;  // cancelled or timed out: no message
        }
        if (!IsValidReply(page)) {
            Say(kNoVersionText, QString(), true);
            return;
        }
        const UpdateReply reply = ReadReply(page, redirects < kMaxRedirects);
        if (reply.redirect.isEmpty()) {
            Report(reply);
            return;
        }
        const QUrl next = QUrl(address).resolved(QUrl(reply.redirect));
        if (LeavesTls(QUrl(address), next)) {
            // A secure server's page cannot send the check to an unprotected one: the
            // line counts as absent, as a redirect beyond the limit does.
            Report(ReadReply(page, false));
            return;
        }
        ++redirects;
        address = next.toString();
    }
}

QNetworkReply* updForm::StartRequest(const QString& address) {
    const QUrl url(address);
    if (!url.isValid() || !wb1_->supportedSchemes().contains(url.scheme().toLower())) {
        return nullptr;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) {
        if (!tlsMade_) {
            tls_ = UpdateTlsConfiguration(settings_.caBundle);
            tlsMade_ = true;
        }
        request.setSslConfiguration(tls_);
    }
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    requests_ << address;
    QNetworkReply* reply = wb1_->get(request);
    pageTooLarge_ = false;
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > kMaxPageBytes) {
            pageTooLarge_ = true;
            reply->abort();
        }
    });
    return reply;
}

updForm::Fetched updForm::Fetch(const QString& address, QString* page) {
    Stop();
    QCoreApplication::processEvents();
    reply_ = StartRequest(address);
    if (!reply_) {
        return Fetched::NoTransport;
    }
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    connect(reply_, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    connect(this, &updForm::cancelPressed, &wait, &QEventLoop::quit);
    connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    limit.start(settings_.waitLimitMs);
    if (!reply_->isFinished() && !cancelled_) {
        wait.exec();
    }
    if (cancelled_) {
        Stop();
        return Fetched::Cancelled;
    }
    if (!reply_->isFinished()) {
        Stop();
        return Fetched::TimedOut;
    }
    // A failed connection, a certificate that does not verify or a redirect that would
    // leave HTTPS is no reply; an HTTP error page still has a body to read.
    if (!pageTooLarge_ && !IsTransportError(reply_->error())) {
        *page = PageText(reply_->readAll(),
                         reply_->header(QNetworkRequest::ContentTypeHeader).toString());
    }
    Stop();
    return Fetched::Page;
}

void updForm::Stop() {
    if (!reply_) {
        return;
    }
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void updForm::Report(const UpdateReply& reply) {
    if (reply.version.isEmpty()) {
        Say(kNoVersionText, QString(), true);
    } else if (CompareVersions(settings_.runningVersion, reply.version) == 2) {
        Say(UpdateAvailableText(settings_.webAddress, settings_.runningVersion, reply.version,
                                reply.releaseDate),
            QStringLiteral("Update available"), false);
    } else {
        Say(QStringLiteral("You have the latest version of Zorix running on your system."),
            QStringLiteral("No updates available"), false);
    }
    if (!reply.message.isEmpty()) {
        const ServerMessage message = SplitServerMessage(reply.message);
        Say(message.text, message.title, false);
    }
}

void updForm::Say(const QString& text, const QString& title, bool exclamation) {
    prompter_.MessageBox(this, text, title,
                         exclamation ? Prompter::Icon::Exclamation : Prompter::Icon::Information,
                         Prompter::Buttons::Ok);
}

void RunUpdateCheck(Prompter& prompter, QWidget* parent, const UpdateCheckSettings& settings) {
    bool failed = true;
    {
        updForm form(prompter, settings, parent);
        form.exec();
        failed = form.Failed();
    }
    if (failed) {
        prompter.MessageBox(parent,
                            QStringLiteral("This feature requires MS Internet Explorer 5.5 or "
                                           "higher."),
                            QStringLiteral("System requirements"), Prompter::Icon::Exclamation,
                            Prompter::Buttons::Ok);
    }
}

}  // namespace zorix
