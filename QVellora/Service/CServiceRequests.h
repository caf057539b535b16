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

} // namespace CServiceRequests
