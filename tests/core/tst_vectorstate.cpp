// The vector registers' upper halves after vectorstate::clearUpper(): clean, whatever left them
// in use, as the processor itself reports (XGETBV with ECX = 1, bit 2: the upper halves of the
// YMM registers are in use). Skipped where the processor has no AVX or does not report this.

#include "core/vectorstate.h"

#include <QTest>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>

namespace {

constexpr unsigned kUpperHalvesInUse = 1u << 2; // XINUSE bit of the YMM state

// Whether the processor has AVX and reports which register states are in use.
bool stateReported() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") && __get_cpuid_count(0xd, 1, &eax, &ebx, &ecx, &edx) &&
           (eax & (1u << 2)) != 0;
}

unsigned statesInUse() {
    unsigned eax = 0, edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(1));
    return eax;
}

// Sets every bit of YMM15, as 256-bit code that ends without VZEROUPPER leaves it (AVX only).
void leaveUpperHalvesInUse() {
    __asm__ volatile("vcmpps $15, %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");
}

} // namespace
#endif

class TestVectorState : public QObject {
    Q_OBJECT

private slots:
    void clearUpperLeavesTheUpperHalvesClean() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
        if (!stateReported())
            QSKIP("the processor has no AVX or does not report the registers in use");
        leaveUpperHalvesInUse();
        const unsigned before = statesInUse();
        vectorstate::clearUpper();
        const unsigned after = statesInUse();
        QVERIFY(before & kUpperHalvesInUse); // the check can see the fault
        QCOMPARE(after & kUpperHalvesInUse, 0u);
#else
        vectorstate::clearUpper(); // nothing to clear: it must still do no harm
        QSKIP("not an x86-64 processor");
#endif
    }
};

QTEST_APPLESS_MAIN(TestVectorState)
#include "tst_vectorstate.moc"
