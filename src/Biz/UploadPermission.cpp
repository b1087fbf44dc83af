#include "Biz/UploadPermission.h"

#include "Biz/AppConfig.h"
#include "Http/AddressSpace.h"
#include "Http/CorsPreflight.h"
#include "Http/UrlParts.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>

namespace {

UploadPermission::Verdict Refused(std::string why)
{
    UploadPermission::Verdict verdict;
    verdict.refusal = "refused for the page: " + std::move(why);
    return verdict;
}

// libcurl's "host:port:address,address" entry, IPv6 addresses in brackets.
std::string PinEntry(const UrlParts& target, const std::vector<std::string>& addresses)
{
    // A literal IPv6 host is not resolved, so there is nothing to pin.
    if (target.host.find(':') != std::string::npos)
        return {};
    std::string entry = target.host + ":" + std::to_string(target.port) + ":";
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const bool v6 = addresses[i].find(':') != std::string::npos;
        entry += (i ? "," : "") + (v6 ? "[" + addresses[i] + "]" : addresses[i]);
    }
    return entry;
}

bool WebScheme(const std::string& scheme)
{
    return scheme == "http" || scheme == "https";
}

} // namespace

UploadPermission::UploadPermission(std::shared_ptr<const AppConfig> settings) : config(std::move(settings)) {}

const UploadPermission::Verdict& UploadPermission::Check(const HttpRequest::StopFlag& stopFlag)
{
    std::lock_guard guard(lock);
    if (!verdict)
        verdict = Decide(stopFlag);
    return *verdict;
}

UploadPermission::Verdict UploadPermission::Decide(const HttpRequest::StopFlag& stopFlag) const
{
    if (!config->UntrustedCaller)
        return {};
    UrlParts page;
    if (!UrlParts::Parse(config->PageOrigin, page) || !WebScheme(page.scheme))
        return Refused("the page's origin is not known");
    const std::string postUrl = Platform::WideToUtf8(config->PostUrl);
    UrlParts target;
    if (!UrlParts::Parse(postUrl, target))
        return Refused("\"" + postUrl + "\" is not an address");
    if (!WebScheme(target.scheme))
        return Refused("only http and https addresses may be posted to");
    const std::vector<std::string> addresses = ResolveHost(target.host, target.port);
    if (addresses.empty())
        return Refused("host not found: " + target.host);

    Verdict allowed;
    allowed.pinnedAddresses = PinEntry(target, addresses);
    allowed.origin = page.Origin();
    allowed.crossOrigin = !page.SameOrigin(target);
    const bool reachesPrivate = std::any_of(addresses.begin(), addresses.end(), [](const std::string& address) {
        return SpaceOfAddress(address) == AddressSpace::Private;
    });
    const bool privateNetwork = reachesPrivate && SpaceOfPageHost(page.host) == AddressSpace::Public;
    if (!allowed.crossOrigin && !privateNetwork)
        return allowed;

    CorsPreflight preflight;
    preflight.url = config->PostUrl;
    preflight.origin = allowed.origin;
    if (!config->Cookie.empty())
        preflight.headers.push_back("cookie");
    preflight.privateNetwork = privateNetwork;
    preflight.pinnedAddresses = allowed.pinnedAddresses;
    preflight.stopFlag = stopFlag;
    if (std::string why = preflight.Run(); !why.empty())
        return Refused(target.Origin() + ": " + why);
    return allowed;
}
