#pragma once

#include "fuzzcheck.h"

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with the broken properties, so that the input is kept as a crash.
inline void stopOnBrokenProperties(const QStringList &broken)
{
    if (broken.isEmpty())
        return;
    for (const QString &property : broken)
        std::fprintf(stderr, "broken property: %s\n", qUtf8Printable(property));
    std::abort();
}
