// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// Reads one HTTP/1.x answer from the bytes of a connection as they arrive: the status line, the
// headers, then a body framed by Content-Length, by chunks, or by the end of the connection.
// Interim answers (1xx) are passed over. Pure, with no socket, so that the odd answers a service
// may give are tested byte by byte. A head longer than maxHeadBytes or a body longer than
// maxBodyBytes is not read on: the answer is TooLarge, since whatever sends it is not the service.
class CHttpAnswer
{
public:
    enum class State
    {
        Reading,  // more bytes are needed
        Done,     // the whole answer is here
        Cut,      // the connection ended before the answer did
        TooLarge, // the head or the body is over its limit
        Malformed // not HTTP
    };

    explicit CHttpAnswer(qint64 maxBodyBytes, int maxHeadBytes = 64 * 1024);

    // Takes the next bytes of the connection; the state after them. Once the answer has ended,
    // more bytes are not taken (and make the connection unfit for another request).
    State feed(const QByteArray& bytes);
    // The connection has ended: done for an answer that runs to the end, cut for any other.
    State closed();

    State state() const { return m_state; }
    bool started() const { return m_started; }
    int status() const { return m_status; }
    // The first header of that name (any case), trimmed; empty when absent.
    QByteArray header(const QByteArray& name) const;
    QByteArray body() const { return m_body; }
    // The connection may carry another request: HTTP/1.1 not asked to close, a framed body, and
    // nothing after the answer.
    bool keepsConnection() const;

private:
    enum class Part
    {
        Head,
        Length,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailers,
        UntilClose,
        End
    };

    bool readHead();
    bool readBody();
    bool takeLine(QByteArray* line);
    // A line of the head or of the trailers, within the head's limit (else TooLarge).
    bool takeHeadLine(QByteArray* line);
    State stop(State state);

    qint64 m_maxBodyBytes;
    int m_maxHeadBytes;
    State m_state = State::Reading;
    Part m_part = Part::Head;
    QByteArray m_pending;
    bool m_started = false;
    bool m_http11 = false;
    bool m_extraBytes = false;
    bool m_untilClose = false;
    int m_headBytes = 0;
    int m_status = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QByteArray m_body;
    qint64 m_left = 0; // of the body, or of the current chunk
};
