// Where the rules for an untrusted caller draw the line between public and private,
// and which addresses share an origin.

#include "Http/AddressSpace.h"
#include "Http/UrlParts.h"

#include <gtest/gtest.h>

namespace {

TEST(AddressSpaceTest, PrivateRangesEndExactlyAtTheirEdges)
{
    for (const char* address : {"127.0.0.1", "127.255.255.254", "0.0.0.0", "10.1.2.3", "172.16.0.1", "172.31.255.255",
                                "192.168.1.1", "169.254.169.254", "::1", "::", "fc00::1", "fdff::1", "fe80::1",
                                "febf::1", "::ffff:127.0.0.1", "::ffff:10.0.0.1"})
        EXPECT_EQ(SpaceOfAddress(address), AddressSpace::Private) << address;
    for (const char* address :
         {"128.0.0.1", "11.0.0.1", "172.15.255.255", "172.32.0.1", "192.169.0.1", "169.253.0.1", "8.8.8.8", "::2",
          "fe00::1", "fec0::1", "2001:db8::1", "::ffff:8.8.8.8", "not an address"})
        EXPECT_EQ(SpaceOfAddress(address), AddressSpace::Public) << address;
}

TEST(AddressSpaceTest, APageIsPrivateOnlyByALiteralAddressOrLocalhost)
{
    EXPECT_EQ(SpaceOfPageHost("localhost"), AddressSpace::Private);
    EXPECT_EQ(SpaceOfPageHost("192.168.0.10"), AddressSpace::Private);
    // A name may lead anywhere: the strict side is to count it public.
    EXPECT_EQ(SpaceOfPageHost("intranet.local"), AddressSpace::Public);
    EXPECT_EQ(SpaceOfPageHost("evil.localhost.example"), AddressSpace::Public);
}

TEST(AddressSpaceTest, LoopbackNamesResolveToLoopbackAddresses)
{
    const std::vector<std::string> addresses = ResolveHost("localhost", 80);
    ASSERT_FALSE(addresses.empty());
    for (const std::string& address : addresses)
        EXPECT_EQ(SpaceOfAddress(address), AddressSpace::Private) << address;
    EXPECT_TRUE(ResolveHost("no-such-host.invalid", 80).empty());
}

TEST(AddressSpaceTest, OriginsCompareBySchemeHostAndPortWithDefaultsFilledIn)
{
    UrlParts a, b;
    ASSERT_TRUE(UrlParts::Parse("HTTP://LocalHost/upload?x=1", a));
    ASSERT_TRUE(UrlParts::Parse("http://localhost:80", b));
    EXPECT_TRUE(a.SameOrigin(b));
    EXPECT_EQ(a.Origin(), "http://localhost");
    ASSERT_TRUE(UrlParts::Parse("https://localhost/upload", b));
    EXPECT_FALSE(a.SameOrigin(b));
    ASSERT_TRUE(UrlParts::Parse("http://[::1]:8080/x", b));
    EXPECT_EQ(b.host, "::1");
    EXPECT_EQ(b.Origin(), "http://[::1]:8080");
    EXPECT_FALSE(UrlParts::Parse("null", b));
    EXPECT_FALSE(UrlParts::Parse("example.com/upload", b));
}

} // namespace
