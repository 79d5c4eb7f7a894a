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
    static constexpr std::uint64_t bitCount = std::uint64_t(1) << 23; // 1 MiB
    static constexpr int probes = 4;

    [[nodiscard]] static std::uint64_t hash(double cuit, const QString& cbu);

    std::vector<std::uint64_t> m_bits;
};
