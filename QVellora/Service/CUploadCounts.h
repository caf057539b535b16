// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

// Where an upload batch stands: how many pictures are in each state, and the bytes of the pictures
// that arrived (registered or already there) out of all of them. Bytes of a failed picture never
// count as done, so a batch with a failure never reads as complete.
struct CUploadCounts
{
    int total = 0;
    int waiting = 0;  // not started yet, or waiting for another try
    int sending = 0;  // requests under way
    int uploaded = 0; // stored and registered in this batch
    int skipped = 0;  // the service already had it: nothing sent
    int failed = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;

    int finished() const { return uploaded + skipped + failed; }
};

// A picture of the batch that did not arrive, and why.
struct CUploadFailure
{
    QString path;
    QString reason;
    int tries = 0;
};
