#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QTcpServer;
class QTcpSocket;

namespace apptest {

// A small HTTP server on 127.0.0.1 inside the test process, answering canned pages
// by request target ("/index.asp?act=..."). It serves from the test's own event
// loop, so the code under test must keep the loop running while it waits. It
// closes itself after `lifetimeMs` at the latest. Given a certificate and its key
// (PEM files), it speaks HTTPS instead.
class LoopbackServer : public QObject {
    Q_OBJECT
  public:
    struct Page {
        QByteArray body;
        QByteArray contentType = "text/plain";
        int status = 200;
        bool silent = false;  // accept the request and never answer
        QByteArray location;  // sent as the Location header when not empty
    };
    struct Tls {
        QString certificatePath;
        QString keyPath;
    };

    explicit LoopbackServer(int lifetimeMs = 30000);
    explicit LoopbackServer(const Tls& tls, int lifetimeMs = 30000);
    ~LoopbackServer() override;

    bool Listening() const;
    quint16 Port() const;
    // "http://127.0.0.1:PORT/", or "https://..." when speaking TLS.
    QString Root() const;
    void Serve(const QByteArray& target, const Page& page);
    // Every request target received, in order.
    QStringList Targets() const { return targets_; }
    // Stops listening and drops every connection.
    void Close();

  private:
    void Listen(int lifetimeMs);
    void Accept();
    void Read(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const QByteArray& target);

    QTcpServer* server_;
    bool tls_ = false;
    QTimer lifetime_;
    QHash<QByteArray, Page> pages_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<QTcpSocket*> sockets_;
    QStringList targets_;
};

}  // namespace apptest
