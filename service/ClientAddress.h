#pragma once

// The key by which the service tells its clients apart when it shares out
// the report store and the PDF builds: an IPv4 address as it is, an IPv6
// address by its /64 network, from which one host takes as many addresses
// as it likes.

#include <boost/asio/ip/address.hpp>

#include <string>

namespace stelmar {

// "192.0.2.7" (also for an IPv4-mapped IPv6 address), "2001:db8:1:2::/64".
std::string ClientAddressKey(const boost::asio::ip::address& address);

}  // namespace stelmar
