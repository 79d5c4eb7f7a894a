#include "InsertedPairs.h"

#include <bit>

InsertedPairs::InsertedPairs() : m_blocks(blockCount, Block{}) {}

std::uint64_t InsertedPairs::hash(double cuit, const QString& cbu)
{
    // FNV-1a over the CUIT's value and the CBU's characters, as the database compares them
    // (the CUIT as a number, the CBU as text), then a final mix so that every bit depends on all input.
    std::uint64_t h = 0xcbf29ce484222325ULL;
    const auto mix = [&h](std::uint64_t value) {
        h ^= value;
        h *= 0x100000001b3ULL;
    };
    mix(std::bit_cast<std::uint64_t>(cuit + 0.0));
    for (const QChar c : cbu)
        mix(c.unicode());
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

void InsertedPairs::add(double cuit, const QString& cbu)
{
    const std::uint64_t h = hash(cuit, cbu);
    Block& block = m_blocks[blockIndex(h)];
    for (int i = 0; i < probes; ++i) {
        const unsigned bit = bitOf(h, i);
        block.words[bit / 64] |= std::uint64_t(1) << (bit % 64);
    }
}

bool InsertedPairs::mayContain(double cuit, const QString& cbu) const
{
    const std::uint64_t h = hash(cuit, cbu);
    const Block& block = m_blocks[blockIndex(h)];
    for (int i = 0; i < probes; ++i) {
        const unsigned bit = bitOf(h, i);
        if (!(block.words[bit / 64] & (std::uint64_t(1) << (bit % 64))))
            return false;
    }
    return true;
}
