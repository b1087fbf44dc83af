#include "Biz/UploadFailure.h"

#include "Http/HttpRequest.h"
#include "Platform/Text/TextConv.h"

#include <boost/algorithm/string/predicate.hpp>
#include <boost/algorithm/string/trim.hpp>

#include <algorithm>
#include <cctype>

namespace {

// The longest wait a server's Retry-After is honoured for; a longer one is cut to it.
constexpr std::int64_t kLongestRetryAfterSeconds = 600;

// The start of a reply for a message: at most 60 bytes, on one line, valid UTF-8.
std::string ReplyStart(const std::string& reply)
{
    std::string start = Platform::ValidUtf8(reply.substr(0, 60));
    for (char& c : start) {
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    }
    return reply.size() > 60 ? start + "..." : start;
}

// Retry-After given as a number of seconds; a date or anything else is not used.
std::optional<std::int32_t> RetryAfter(const HttpRequest& client)
{
    for (const auto& [name, value] : client.GetResponseHeaders()) {
        if (!boost::algorithm::iequals(name, "Retry-After"))
            continue;
        const std::string seconds = boost::algorithm::trim_copy(value);
        if (seconds.empty() || seconds.size() > 9 ||
            !std::all_of(seconds.begin(), seconds.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        return static_cast<std::int32_t>(std::min<std::int64_t>(std::stoll(seconds), kLongestRetryAfterSeconds) * 1000);
    }
    return std::nullopt;
}

} // namespace

std::optional<UploadFailure> UploadFailure::OfExchange(const HttpRequest& client, bool accepted)
{
    if (accepted)
        return std::nullopt;
    UploadFailure failure;
    switch (client.GetFailureKind()) {
    case HttpRequest::FailureKind::Stopped:
        return Cancelled();
    case HttpRequest::FailureKind::TimedOut:
        failure.code = "timeout";
        failure.text = client.GetFailure();
        return failure;
    case HttpRequest::FailureKind::Network:
        failure.code = "network";
        failure.text = client.GetFailure();
        return failure;
    case HttpRequest::FailureKind::None:
        break;
    }
    if (!client.GetFailure().empty()) {
        failure.code = "network";
        failure.text = client.GetFailure();
        return failure;
    }
    const std::string start = ReplyStart(client.GetResponse());
    failure.status = client.GetStatus();
    if (failure.status < 200 || failure.status > 299) {
        failure.code = failure.status > 0 ? "http_status" : "network";
        failure.text = failure.status > 0 ? "HTTP status " + std::to_string(failure.status) + ", reply: " + start
                                          : client.GetFailure();
        failure.retryAfter = RetryAfter(client);
    } else {
        failure.code = "not_success";
        failure.text = "reply not a success: " + start;
    }
    return failure;
}

UploadFailure UploadFailure::Cancelled()
{
    return UploadFailure{"cancelled", "stopped", 0, std::nullopt};
}

bool UploadFailure::Retryable() const
{
    if (code == "network" || code == "timeout")
        return true;
    return code == "http_status" && (status >= 500 || status == 429);
}
