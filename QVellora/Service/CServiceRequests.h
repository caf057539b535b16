// SPDX-License-Identifier: MIT
#pragma once

#include <QNetworkRequest>

class QNetworkReply;

// What every request of the service clients shares: a stall time-out, so that an answer that
// stops arriving ends as a failure instead of keeping its dialog or batch waiting for good, and
// the one rule for a successful answer.
namespace CServiceRequests {

// No byte for this long ends a request (the reply is aborted and finishes with an error).
constexpr int DefaultStallTimeoutMs = 30000;

// The request with its stall time-out set.
QNetworkRequest withStallTimeout(QNetworkRequest request, int stallTimeoutMs);

// Arrived whole, with a 2xx status.
bool answeredWithSuccess(const QNetworkReply* reply);

// The service answers with a few hundred bytes of JSON; an answer that announces or brings more
// than this is not its answer, and would otherwise be held in memory for as long as it keeps
// coming (the stall time-out never ends an answer that does not stall).
constexpr qint64 MaxAnswerBytes = 1024 * 1024;

// Aborts reply as soon as its answer announces or brings more than maxBytes; it then finishes
// with an error, and answerTooLarge() tells why.
void limitAnswer(QNetworkReply* reply, qint64 maxBytes = MaxAnswerBytes);
bool answerTooLarge(const QNetworkReply* reply);

} // namespace CServiceRequests
