#include "LoopbackServer.h"

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

namespace apptest {

namespace {

constexpr qsizetype kMaxHeader = 16384;

QByteArray ReasonOf(int status) {
    return status == 200 ? "OK" : status == 404 ? "Not Found" : status == 302 ? "Found" : "Other";
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSslServer* MakeTlsServer(const LoopbackServer::Tls& tls, QObject* parent) {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(ReadAll(tls.certificatePath), QSsl::Pem));
    configuration.setPrivateKey(QSslKey(ReadAll(tls.keyPath), QSsl::Ec, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    auto* server = new QSslServer(parent);
    server->setSslConfiguration(configuration);
    return server;
}

}  // namespace

LoopbackServer::LoopbackServer(int lifetimeMs) : server_(new QTcpServer(this)) {
    Listen(lifetimeMs);
}

LoopbackServer::LoopbackServer(const Tls& tls, int lifetimeMs)
    : server_(MakeTlsServer(tls, this)), tls_(true) {
    Listen(lifetimeMs);
}

void LoopbackServer::Listen(int lifetimeMs) {
    // Never another address than the loopback one.
    server_->listen(QHostAddress::LocalHost, 0);
    // A TLS connection is pending only once its handshake is done.
    connect(server_, &QTcpServer::newConnection, this, &LoopbackServer::Accept);
    connect(server_, &QTcpServer::pendingConnectionAvailable, this, &LoopbackServer::Accept);
    lifetime_.setSingleShot(true);
    connect(&lifetime_, &QTimer::timeout, this, &LoopbackServer::Close);
    lifetime_.start(lifetimeMs);
}

LoopbackServer::~LoopbackServer() {
    Close();
}

bool LoopbackServer::Listening() const {
    return server_->isListening();
}

quint16 LoopbackServer::Port() const {
    return server_->serverPort();
}

QString LoopbackServer::Root() const {
    return QStringLiteral("%1://127.0.0.1:%2/").arg(tls_ ? "https" : "http").arg(Port());
}

void LoopbackServer::Serve(const QByteArray& target, const Page& page) {
    pages_.insert(target, page);
}

void LoopbackServer::Close() {
    server_->close();
    for (QTcpSocket* socket : sockets_) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    sockets_.clear();
    pending_.clear();
}

void LoopbackServer::Accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        sockets_ << socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        if (socket->bytesAvailable() > 0) {
            Read(socket);
        }
    }
}

void LoopbackServer::Read(QTcpSocket* socket) {
    QByteArray& data = pending_[socket];
    data += socket->readAll();
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (end < 0) {
        if (data.size() > kMaxHeader) {
            socket->abort();
        }
        return;
    }
    const QList<QByteArray> requestLine = data.left(data.indexOf("\r\n")).split(' ');
    const QByteArray target = requestLine.size() >= 2 ? requestLine[1] : QByteArray();
    pending_.remove(socket);
    targets_ << QString::fromLatin1(target);
    Answer(socket, target);
}

void LoopbackServer::Answer(QTcpSocket* socket, const QByteArray& target) {
    const auto found = pages_.constFind(target);
    Page page;
    if (found != pages_.constEnd()) {
        page = *found;
    } else {
        page.status = 404;
        page.body = "no such page";
    }
    if (page.silent) {
        return;
    }
    QByteArray response =
        "HTTP/1.1 " + QByteArray::number(page.status) + " " + ReasonOf(page.status) + "\r\n";
    response += "Content-Type: " + page.contentType + "\r\n";
    if (!page.location.isEmpty()) {
        response += "Location: " + page.location + "\r\n";
    }
    response += "Content-Length: " + QByteArray::number(page.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += page.body;
    socket->write(response);
    socket->disconnectFromHost();
}

}  // namespace apptest
