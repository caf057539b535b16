// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

class QNetworkReply;

// When an upload request is tried again, and how long the client waits first.
//
// Worth another try: no answer (refused, dropped, timed out, a broken connection), a 5xx, a 408
// or a 429: the service or the line may be back a moment later. Not worth it: any other 4xx (the
// request itself is refused and would be again) and a 3xx; such a picture fails at once with the
// service's reason. Waits grow from an eighth of a second, doubling up to a cap, with a little
// jitter so that pictures failed together do not come back together: a dropped request goes
// again within an eighth of a second (a batch with one request in five failing then takes about
// a quarter longer than a clean one, not half as long again), while a picture still waits about
// 32 s in all for a line that is down. A Retry-After up to MaxRetryAfterMs is waited for as the service asks;
// a longer one fails the picture at once, saying so, instead of keeping the user's window busy for minutes.
class CUploadRetry
{
    Q_DECLARE_TR_FUNCTIONS(CUploadRetry)

public:
    static constexpr int MaxTries = 9;
    static constexpr int FirstWaitMs = 125;
    static constexpr int MaxWaitMs = 30000;
    static constexpr int MaxRetryAfterMs = 120000;

    enum class Verdict
    {
        Done,  // the answer counts
        Retry, // try the request again after waitMs
        Fail   // the picture fails now, with reason
    };
    struct Judgement
    {
        Verdict verdict = Verdict::Done;
        QString reason;
        int retryAfterMs = -1; // what the service asked for, -1 when nothing
    };

    // How a request ended, whichever way it was sent.
    enum class Transport
    {
        None,         // the answer arrived whole
        Refused,      // nobody answers at that address
        HostNotFound, // no such address
        TimedOut,     // nothing came for the stall time-out (or the request was aborted)
        Broken        // the connection ended or failed before the whole answer
    };
    struct Outcome
    {
        int status = 0; // HTTP, 0 when no answer's head arrived
        Transport transport = Transport::None;
        bool tooLarge = false; // the answer was over CServiceRequests::MaxAnswerBytes
        QByteArray retryAfter;
    };

    // Judges a finished request by its transport and HTTP status alone; Done for a whole 2xx.
    static Judgement judge(const Outcome& outcome);
    static Judgement judge(const QNetworkReply* reply);
    // The wait before try number `tries` + 1, after `tries` failed ones (1 or more).
    static int waitMs(int tries, double scale = 1.0);
    // Retry-After as seconds or an HTTP date, in milliseconds from now; -1 when absent or unreadable.
    static int retryAfterMs(const QByteArray& header);
};
