// SPDX-License-Identifier: MIT
#include "Service/CHttpPost.h"

#include <QTcpSocket>
#ifndef QT_NO_SSL
#include <QSslSocket>
#endif

#include <algorithm>

namespace {
// The body goes to the socket a megabyte at a time, so that a large picture is not copied whole
// into the socket's buffer beside the form that holds it.
const qint64 ChunkBytes = 1024 * 1024;

bool isSecure(const QUrl& url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

int portOf(const QUrl& url)
{
    return url.port(isSecure(url) ? 443 : 80);
}

bool isOwnHeader(const QByteArray& name)
{
    for (const char* own : {"Host", "Content-Length", "Connection", "Transfer-Encoding", "Expect"})
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

CHttpPost::CHttpPost(const QUrl& url, const QList<QPair<QByteArray, QByteArray>>& headers,
                     const QVector<QByteArray>& body, QObject* parent)
    : QObject(parent), m_url(url), m_headers(headers), m_body(body)
{
    for (const QByteArray& piece : body)
        m_bodyBytes += piece.size();
    m_stall.setSingleShot(true);
    connect(&m_stall, &QTimer::timeout, this, &CHttpPost::stallTimedOut);
}

CHttpPost::~CHttpPost()
{
    if (m_socket && m_socket->parent() == this)
        m_socket->abort();
}

QString CHttpPost::connectionKey(const QUrl& url)
{
    return url.scheme().toLower() + QStringLiteral("://") + url.host().toLower() + QLatin1Char(':') +
           QString::number(portOf(url));
}

void CHttpPost::start(QAbstractSocket* openConnection)
{
    m_answer = CHttpAnswer(m_maxAnswerBytes);
    if (m_stallTimeoutMs > 0)
        m_stall.start(m_stallTimeoutMs);
    if (openConnection && openConnection->state() == QAbstractSocket::ConnectedState &&
        openConnection->bytesAvailable() == 0) {
        m_reused = true;
        openConnection->setParent(this);
        watch(openConnection);
        send();
        return;
    }
    if (openConnection) {
        openConnection->abort();
        openConnection->deleteLater();
    }
    connectFresh();
}

void CHttpPost::abort()
{
    finish(Failure::Cancelled, QStringLiteral("cancelled"));
}

QAbstractSocket* CHttpPost::takeConnection()
{
    if (!m_keep || !m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return nullptr;
    QAbstractSocket* socket = m_socket;
    m_socket = nullptr;
    socket->setParent(nullptr);
    return socket;
}

void CHttpPost::connectFresh()
{
    m_reused = false;
    const QString host = m_url.host();
#ifndef QT_NO_SSL
    if (isSecure(m_url)) {
        auto* socket = new QSslSocket(this);
        watch(socket);
        connect(socket, &QSslSocket::encrypted, this, &CHttpPost::send);
        socket->connectToHostEncrypted(host, quint16(portOf(m_url)));
        return;
    }
#else
    if (isSecure(m_url)) {
        QTimer::singleShot(0, this,
                           [this] { finish(Failure::Broken, QStringLiteral("no TLS in this build")); });
        return;
    }
#endif
    auto* socket = new QTcpSocket(this);
    watch(socket);
    connect(socket, &QAbstractSocket::connected, this, &CHttpPost::send);
    socket->connectToHost(host, quint16(portOf(m_url)));
}

void CHttpPost::watch(QAbstractSocket* socket)
{
    m_socket = socket;
    // The head and the body's last bytes go without waiting for acknowledgements.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QAbstractSocket::bytesWritten, this, [this] {
        if (!m_sending || m_finished)
            return;
        if (m_stallTimeoutMs > 0)
            m_stall.start(m_stallTimeoutMs);
        pump();
    });
    connect(socket, &QIODevice::readyRead, this, &CHttpPost::read);
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) { connectionEnded(int(error)); });
    connect(socket, &QAbstractSocket::disconnected, this,
            [this] { connectionEnded(int(QAbstractSocket::RemoteHostClosedError)); });
}

void CHttpPost::send()
{
    if (m_sending || m_finished || !m_socket)
        return;
    m_sending = true;
    QByteArray target = m_url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (m_url.hasQuery())
        target += '?' + m_url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_url.port() != -1 && m_url.port() != (isSecure(m_url) ? 443 : 80))
        host += ':' + QByteArray::number(m_url.port());
    QByteArray head = "POST " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    for (const QPair<QByteArray, QByteArray>& header : qAsConst(m_headers))
        if (!isOwnHeader(header.first))
            head += header.first + ": " + header.second + "\r\n";
    head += "Content-Length: " + QByteArray::number(m_bodyBytes) + "\r\nConnection: keep-alive\r\n\r\n";
    m_headBytes = head.size();
    m_body.prepend(head);
    m_piece = 0;
    m_offset = 0;
    m_queued = 0;
    pump();
}

void CHttpPost::pump()
{
    const qint64 before = m_queued;
    while (m_socket && m_piece < m_body.size() && m_socket->bytesToWrite() < ChunkBytes) {
        const QByteArray& piece = m_body.at(m_piece);
        const qint64 size = std::min<qint64>(ChunkBytes, piece.size() - m_offset);
        const qint64 taken = size > 0 ? m_socket->write(piece.constData() + m_offset, size) : 0;
        if (taken < 0)
            return;
        m_offset += taken;
        m_queued += taken;
        if (m_offset == piece.size()) {
            ++m_piece;
            m_offset = 0;
        }
        if (taken == 0 && size > 0)
            break;
    }
    if (m_queued != before && m_stallTimeoutMs > 0)
        m_stall.start(m_stallTimeoutMs);
    if (m_socket && !m_finished) {
        const qint64 sent =
            std::clamp<qint64>(m_queued - m_socket->bytesToWrite() - m_headBytes, 0, m_bodyBytes);
        if (sent != m_reportedBytes) {
            m_reportedBytes = sent;
            emit progress(sent, m_bodyBytes);
        }
    }
}

bool CHttpPost::allSent() const
{
    return m_sending && m_socket && m_piece == m_body.size() && m_socket->bytesToWrite() == 0;
}

void CHttpPost::read()
{
    if (m_finished || !m_socket)
        return;
    if (m_stallTimeoutMs > 0)
        m_stall.start(m_stallTimeoutMs);
    switch (m_answer.feed(m_socket->readAll())) {
    case CHttpAnswer::State::Reading:
        return;
    case CHttpAnswer::State::Done:
        finish(Failure::None);
        return;
    case CHttpAnswer::State::TooLarge:
        finish(Failure::TooLarge, QStringLiteral("answer over its limit"));
        return;
    case CHttpAnswer::State::Malformed:
    case CHttpAnswer::State::Cut:
        finish(Failure::Malformed, QStringLiteral("not an HTTP answer"));
        return;
    }
}

void CHttpPost::connectionEnded(int socketError)
{
    if (m_finished || !m_socket)
        return;
    QAbstractSocket* socket = m_socket;
    // What arrived before the end still counts.
    if (socket->bytesAvailable() > 0) {
        read();
        if (m_finished)
            return;
    }
    // A connection kept open from an earlier post may have been closed by the other side
    // meanwhile; that says nothing of this post, which goes again, once, on a fresh connection.
    if (m_reused && !m_answer.started()) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        socket->deleteLater();
        m_socket = nullptr;
        m_sending = false;
        m_body.removeFirst(); // the head, made again for the next connection
        connectFresh();
        return;
    }
    const QString why = socket->errorString();
    switch (m_answer.closed()) {
    case CHttpAnswer::State::Done:
        finish(Failure::None);
        return;
    case CHttpAnswer::State::TooLarge:
        finish(Failure::TooLarge, why);
        return;
    case CHttpAnswer::State::Malformed:
        finish(Failure::Malformed, why);
        return;
    case CHttpAnswer::State::Reading:
    case CHttpAnswer::State::Cut:
        break;
    }
    switch (QAbstractSocket::SocketError(socketError)) {
    case QAbstractSocket::ConnectionRefusedError:
        finish(Failure::Refused, why);
        return;
    case QAbstractSocket::HostNotFoundError:
        finish(Failure::HostNotFound, why);
        return;
    case QAbstractSocket::SocketTimeoutError:
        finish(Failure::TimedOut, why);
        return;
    default:
        finish(Failure::Broken, why);
        return;
    }
}

void CHttpPost::stallTimedOut()
{
    finish(Failure::TimedOut, QStringLiteral("nothing sent or received for %1 ms").arg(m_stallTimeoutMs));
}

void CHttpPost::finish(Failure failure, const QString& errorString)
{
    if (m_finished)
        return;
    m_finished = true;
    m_stall.stop();
    m_failure = failure;
    m_errorString = errorString;
    m_keep = failure == Failure::None && m_answer.keepsConnection() && allSent();
    if (m_socket) {
        disconnect(m_socket, nullptr, this, nullptr);
        // An answer that came before the whole body went, or one that ends the connection,
        // leaves it unfit for another request.
        if (!m_keep)
            m_socket->abort();
    }
    emit finished();
}
