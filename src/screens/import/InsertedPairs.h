#pragma once

#include <QString>

#include <cstdint>
#include <vector>

/// Remembers, in a fixed amount of memory, CUIT-CBU pairs of a declaration (a Bloom filter).
/// It may answer "maybe" for a pair it never saw, but never "no" for one it saw; so "no" safely
/// spares the import a query, and "maybe" sends it to the database as usual. Memory stays the same
/// whatever the size of the file; only the share of "maybe" answers grows.
class InsertedPairs
{
public:
    InsertedPairs();

    void add(double cuit, const QString& cbu);
    [[nodiscard]] bool mayContain(double cuit, const QString& cbu) const;

private:
    // The bits of one pair all fall in one block the size of a cache line: a pair costs one memory
    // access, not one per probe, for a share of "maybe" answers that stays negligible.
    struct alignas(64) Block
    {
        std::uint64_t words[8];
    };
    static constexpr std::uint64_t blockCount = std::uint64_t(1) << 14; // 1 MiB
    static constexpr int probes = 4;

    [[nodiscard]] static std::uint64_t hash(double cuit, const QString& cbu);
    [[nodiscard]] static std::size_t blockIndex(std::uint64_t hash) { return (hash >> 40) % blockCount; }
    /// The probe's bit within the block, from its own nine bits of the hash.
    [[nodiscard]] static unsigned bitOf(std::uint64_t hash, int probe) { return (hash >> (9 * probe)) & 511; }

    std::vector<Block> m_blocks;
};
