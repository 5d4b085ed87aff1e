#include <gtest/gtest.h>
#include <netinet/in.h>

#include "platform/NetworkEndpoint.h"

namespace quellor {
namespace {

TEST(NetworkEndpoint, OnlyMappedIPv4AddressesBecomeIPv4) {
    const std::vector<std::pair<QHostAddress, QString>> cases = {
        {QHostAddress("::ffff:192.0.2.7"), "192.0.2.7:9001"},
        {QHostAddress("192.0.2.7"), "192.0.2.7:9001"},
        {QHostAddress(QHostAddress::AnyIPv6), "[::]:9001"},
        {QHostAddress("::1"), "[::1]:9001"},
    };
    for (const auto& [host, description] : cases)
        EXPECT_EQ(NetworkEndpoint(host, 9001).description(), description) << host.toString().toStdString();

    // The dual-stack wildcard stays an IPv6 socket address.
    sockaddr_storage storage;
    EXPECT_EQ(NetworkEndpoint(QHostAddress::AnyIPv6, 9000).toSockaddr(storage), socklen_t(sizeof(sockaddr_in6)));
    EXPECT_EQ(storage.ss_family, AF_INET6);
}

}  // namespace
}  // namespace quellor
