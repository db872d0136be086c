#include "service/ClientAddress.h"

namespace stelmar {

std::string ClientAddressKey(const boost::asio::ip::address& address)
{
    if (address.is_v4()) return address.to_v4().to_string();
    boost::asio::ip::address_v6 v6 = address.to_v6();
    if (v6.is_v4_mapped()) return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, v6).to_string();
    boost::asio::ip::address_v6::bytes_type bytes = v6.to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return boost::asio::ip::address_v6(bytes).to_string() + "/64";
}

}  // namespace stelmar
