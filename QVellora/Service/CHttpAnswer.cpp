// SPDX-License-Identifier: MIT
#include "Service/CHttpAnswer.h"

#include <algorithm>

namespace {
// A chunk's size line is a handful of hex digits and perhaps an extension.
const int MaxChunkLineBytes = 1024;
} // namespace

CHttpAnswer::CHttpAnswer(qint64 maxBodyBytes, int maxHeadBytes)
    : m_maxBodyBytes(maxBodyBytes), m_maxHeadBytes(maxHeadBytes)
{
}

CHttpAnswer::State CHttpAnswer::feed(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return m_state;
    m_started = true;
    if (m_state != State::Reading) {
        m_extraBytes = true;
        return m_state;
    }
    m_pending.append(bytes);
    if (m_part == Part::Head && !readHead())
        return m_state;
    if (m_part != Part::Head)
        readBody();
    return m_state;
}

CHttpAnswer::State CHttpAnswer::closed()
{
    if (m_state != State::Reading)
        return m_state;
    if (m_part == Part::UntilClose) {
        m_part = Part::End;
        return stop(State::Done);
    }
    return stop(State::Cut);
}

QByteArray CHttpAnswer::header(const QByteArray& name) const
{
    for (const QPair<QByteArray, QByteArray>& header : m_headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return {};
}

bool CHttpAnswer::keepsConnection() const
{
    return m_state == State::Done && m_http11 && !m_untilClose && !m_extraBytes &&
           !header("Connection").toLower().contains("close");
}

CHttpAnswer::State CHttpAnswer::stop(State state)
{
    m_state = state;
    m_pending.clear();
    return m_state;
}

bool CHttpAnswer::takeLine(QByteArray* line)
{
    const int end = m_pending.indexOf('\n');
    if (end < 0)
        return false;
    *line = m_pending.left(end);
    if (line->endsWith('\r'))
        line->chop(1);
    m_pending.remove(0, end + 1);
    return true;
}

bool CHttpAnswer::takeHeadLine(QByteArray* line)
{
    if (!takeLine(line)) {
        if (m_headBytes + m_pending.size() > m_maxHeadBytes)
            stop(State::TooLarge);
        return false;
    }
    m_headBytes += line->size() + 1;
    if (m_headBytes > m_maxHeadBytes) {
        stop(State::TooLarge);
        return false;
    }
    return true;
}

// True once the head has ended (and the body is to be read), false while more is needed or after
// the answer was given up.
bool CHttpAnswer::readHead()
{
    while (m_state == State::Reading) {
        QByteArray line;
        if (!takeHeadLine(&line))
            return false;
        if (m_status == 0) {
            // "HTTP/1.1 200 OK"; the reason may be missing.
            bool number = false;
            const int status = line.mid(9, 3).toInt(&number);
            if (!line.startsWith("HTTP/1.") || line.size() < 12 || line.at(8) != ' ' || !number ||
                status < 100 || (line.size() > 12 && line.at(12) != ' ')) {
                stop(State::Malformed);
                return false;
            }
            m_status = status;
            m_http11 = !line.startsWith("HTTP/1.0");
            continue;
        }
        if (!line.isEmpty()) {
            const int colon = line.indexOf(':');
            if (colon <= 0) {
                stop(State::Malformed);
                return false;
            }
            m_headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
            continue;
        }
        // The head has ended. An interim answer (100 Continue and the like) is followed by the
        // real one; a switch of protocols is nothing this reader can follow.
        if (m_status < 200) {
            if (m_status == 101) {
                stop(State::Malformed);
                return false;
            }
            m_status = 0;
            m_headBytes = 0;
            m_headers.clear();
            continue;
        }
        if (m_status == 204 || m_status == 304) {
            m_part = Part::End;
        } else if (header("Transfer-Encoding").toLower().contains("chunked")) {
            m_part = Part::ChunkSize;
        } else if (!header("Content-Length").isEmpty()) {
            bool number = false;
            m_left = header("Content-Length").toLongLong(&number);
            if (!number || m_left < 0) {
                stop(State::Malformed);
                return false;
            }
            if (m_left > m_maxBodyBytes) {
                stop(State::TooLarge);
                return false;
            }
            m_part = m_left == 0 ? Part::End : Part::Length;
        } else {
            m_part = Part::UntilClose;
            m_untilClose = true;
        }
        return true;
    }
    return false;
}

bool CHttpAnswer::readBody()
{
    while (m_state == State::Reading) {
        switch (m_part) {
        case Part::Head:
            return false;
        case Part::Length:
        case Part::ChunkData: {
            if (m_pending.isEmpty())
                return false;
            const int take = int(std::min<qint64>(m_left, m_pending.size()));
            m_body.append(m_pending.constData(), take);
            m_pending.remove(0, take);
            m_left -= take;
            if (m_left == 0)
                m_part = m_part == Part::Length ? Part::End : Part::ChunkEnd;
            break;
        }
        case Part::ChunkSize: {
            QByteArray line;
            if (!takeLine(&line)) {
                if (m_pending.size() > MaxChunkLineBytes)
                    stop(State::Malformed);
                return false;
            }
            const int extension = line.indexOf(';');
            bool number = false;
            const qint64 size =
                (extension < 0 ? line : line.left(extension)).trimmed().toLongLong(&number, 16);
            if (!number || size < 0) {
                stop(State::Malformed);
                return false;
            }
            if (size > m_maxBodyBytes - m_body.size()) {
                stop(State::TooLarge);
                return false;
            }
            m_left = size;
            m_part = size == 0 ? Part::Trailers : Part::ChunkData;
            break;
        }
        case Part::ChunkEnd: {
            QByteArray line;
            if (!takeLine(&line))
                return false;
            if (!line.isEmpty()) {
                stop(State::Malformed);
                return false;
            }
            m_part = Part::ChunkSize;
            break;
        }
        case Part::Trailers: {
            QByteArray line;
            if (!takeHeadLine(&line))
                return false;
            if (line.isEmpty())
                m_part = Part::End;
            break;
        }
        case Part::UntilClose:
            m_body.append(m_pending);
            m_pending.clear();
            if (m_body.size() > m_maxBodyBytes)
                stop(State::TooLarge);
            return false;
        case Part::End:
            m_extraBytes = !m_pending.isEmpty();
            stop(State::Done);
            return true;
        }
    }
    return false;
}
