#include "Biz/Digest.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/crc.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/md5.h>

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <mutex>

namespace {

template <typename Hash> std::string HexDigest(const std::uint8_t* bytes, std::size_t length)
{
    static const std::uint8_t kNothing = 0;
    Hash hash;
    std::string hex;
    CryptoPP::StringSource source(
        bytes ? bytes : &kNothing, bytes ? length : 0, true,
        new CryptoPP::HashFilter(hash, new CryptoPP::HexEncoder(new CryptoPP::StringSink(hex), false)));
    return hex;
}

} // namespace

std::string Crc32Hex(const std::uint8_t* bytes, std::size_t length)
{
    return HexDigest<CryptoPP::CRC32>(bytes, length);
}

std::string Md5Hex(const std::uint8_t* bytes, std::size_t length)
{
    return HexDigest<CryptoPP::Weak::MD5>(bytes, length);
}

std::string NewUuidText()
{
    // The generator is a Mersenne Twister seeded from system entropy; it is not
    // thread-safe, and upload threads name files at the same time.
    static std::mutex lock;
    static boost::uuids::random_generator generator;
    std::lock_guard guard(lock);
    return boost::uuids::to_string(generator());
}
