#pragma once

#include <QDialog>
#include <QSslConfiguration>
#include <QStringList>

#include "app/UpdateCheck.h"
#include "app/UpdateTrust.h"

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class VkButton;

namespace zorix {

class Prompter;
struct UpdateReply;

// Where and how the update check asks; the defaults are the program's own.
struct UpdateCheckSettings {
    QString endpoint = UpdateEndpoint();
    QString webAddress = MakerWebAddress();
    QString runningVersion = RunningVersion();
    // A PEM file of certificate authorities trusted beside the system's.
    QString caBundle = UpdateCaBundle();
    // How long one request may take before the check gives up silently.
    int waitLimitMs = 15000;
};

// The modal "Checking for updates..." window: on its first showing it asks the
// version server, tells the user the outcome and closes itself. The wait keeps the
// window responsive; `cancelBUT` ends it without a message.
class updForm : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxRedirects = 3;
    // Replies beyond this size are no version page; the request is dropped.
    static constexpr qint64 kMaxPageBytes = 1 << 20;

    updForm(Prompter& prompter, const UpdateCheckSettings& settings, QWidget* parent = nullptr);
    ~updForm() override;

    VkButton* cancelBUT() const { return cancelBUT_; }
    QLabel* text() const { return text_; }
    // True when the check could not run at all (no transport for the address).
    bool Failed() const { return failed_; }
    bool IsChecking() const { return checking_; }
    // Every address requested, in order.
    QStringList Requests() const { return requests_; }
    // Escape or the close box: during the wait they count as cancel.
    void reject() override;

  signals:
    void cancelPressed();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    enum class Fetched { Page, Cancelled, TimedOut, NoTransport };

    void RunCheck();
    void Check();
    Fetched Fetch(const QString& address, QString* page);
    QNetworkReply* StartRequest(const QString& address);
    void Stop();
    void Report(const UpdateReply& reply);
    void Say(const QString& text, const QString& title, bool exclamation);
    void cancelBUT_Click();

    Prompter& prompter_;
    UpdateCheckSettings settings_;
    QNetworkAccessManager* wb1_;
    QNetworkReply* reply_ = nullptr;
    QLabel* text_;
    VkButton* cancelBUT_;
    QStringList requests_;
    // Made at the first HTTPS request of the check: reading the system's authorities
    // takes a moment, and redirects reuse it.
    QSslConfiguration tls_;
    bool tlsMade_ = false;
    bool firstActivation_ = true;
    bool checking_ = false;
    bool cancelled_ = false;
    bool failed_ = false;
    bool pageTooLarge_ = false;
};

// The "Check for updates" command: runs the update window modally and reports a
// check that could not run.
void RunUpdateCheck(Prompter& prompter, QWidget* parent,
                    const UpdateCheckSettings& settings = UpdateCheckSettings());

}  // namespace zorix
