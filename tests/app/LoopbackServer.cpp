#include "LoopbackServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace apptest {

namespace {

constexpr qsizetype kMaxHeader = 16384;

QByteArray ReasonOf(int status) {
    return status == 200 ? "OK" : status == 404 ? "Not Found" : "Other";
}

}  // namespace

LoopbackServer::LoopbackServer(int lifetimeMs) : server_(new QTcpServer(this)) {
    // Never another address than the loopback one.
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_, &QTcpServer::newConnection, this, &LoopbackServer::Accept);
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
    return QStringLiteral("http://127.0.0.1:%1/").arg(Port());
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
    response += "Content-Length: " + QByteArray::number(page.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += page.body;
    socket->write(response);
    socket->disconnectFromHost();
}

}  // namespace apptest
