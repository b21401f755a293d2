#pragma once

// Small helpers the fuzz targets share.

#include "dice/Catalogue.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"

#include <QBuffer>
#include <QByteArray>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

// The fuzzer's bytes, without a copy.
inline QByteArray FuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A broken promise of the code under test: say which, then stop hard so that libFuzzer
// keeps the input and the sanitizer prints the stack.
[[noreturn]] inline void FuzzFault(const char *target, const char *problem)
{
    std::fprintf(stderr, "%s: %s\n", target, problem);
    std::fflush(stderr);
    __builtin_trap();
}

// Computes the statistics of every die; whatever the faces and symbols, the figures the
// dice views show must be plain numbers.
inline void CheckStatistics(const char *target, const TCatalogue &catalogue)
{
    for (const auto &race : catalogue.Races()) {
        for (const auto &die : race->Dice()) {
            const TDieStats &stats = die->Statistics();
            for (const auto &row : stats.Sum) {
                for (double value : row) {
                    if (!std::isfinite(value))
                        FuzzFault(target, "a die's sum is not a finite number");
                }
            }
            for (const auto &row : stats.SumSq) {
                for (double value : row) {
                    if (!std::isfinite(value) || value < 0)
                        FuzzFault(target, "a die's sum of squares is negative or not finite");
                }
            }
            for (double fraction : stats.Fractions) {
                if (!std::isfinite(fraction) || fraction < 0)
                    FuzzFault(target, "a die's effect fraction is negative or not finite");
            }
        }
    }
}
