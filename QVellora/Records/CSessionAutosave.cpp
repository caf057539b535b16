// SPDX-License-Identifier: MIT
#include "Records/CSessionAutosave.h"

#include "CLogging.h"
#include "CProgramFiles.h"

CSessionAutosave::CSessionAutosave(SessionSource session, QObject* parent)
    : QObject(parent), m_session(std::move(session))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(2000);
    connect(&m_timer, &QTimer::timeout, this, &CSessionAutosave::write);
}

void CSessionAutosave::changed()
{
    if (m_ignoring)
        return;
    m_used = true;
    // Not restarted by later changes: a steady stream of changes still reaches the file in time.
    if (!m_timer.isActive())
        m_timer.start();
}

bool CSessionAutosave::saveNow()
{
    m_timer.stop();
    if (!m_used)
        return false;
    return write();
}

bool CSessionAutosave::write()
{
    const QString path = m_path.isEmpty() ? CProgramFiles::saveLastFile() : m_path;
    const bool ok = m_session && m_session().write(path);
    if (!ok)
        qCDebug(lcRecords) << "session not saved" << path;
    emit saved(ok);
    return ok;
}
