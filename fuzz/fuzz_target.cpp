#include "fuzzcheck.h"

// The libFuzzer target of the check FUZZ_CHECK: a broken property stops the fuzzer with the input.
extern "C" int LLVMFuzzerTestOneInput(const char *data, size_t size)
{
    for (const QString &broken : FUZZ_CHECK(QByteArray(data, qsizetype(size))))
        qFatal("broken property: %s", qUtf8Printable(broken));
    return 0;
}
