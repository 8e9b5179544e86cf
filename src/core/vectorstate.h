#pragma once
// The upper halves of the processor's vector registers, made clean before numeric work.
//
// An x86-64 processor with AVX tracks whether the upper 128 bits of its YMM registers may hold
// data. Code that uses 256-bit instructions is meant to end with VZEROUPPER; code that does not
// leaves that "dirty upper" state behind, and until something clears it, the processor pays for
// every switch between legacy SSE instructions (all of this program's own code, built for the
// x86-64 baseline) and VEX-encoded ones (glibc's exp, log and pow where the processor has FMA).
// The numeric core calls exp millions of times between such switches.
//
// Qt's string hash (qHash of a QString or QByteArray, so every QHash with text keys) leaves the
// state dirty on processors with VAES: Qt 6.4's 256-bit version returns without VZEROUPPER, for
// texts over 32 bytes, or of any length where the processor also has AVX512VL. On those
// processors glibc's own string functions (the EVEX ones) never clear the state either, so the
// hashes of the batch tool's command-line options made its whole run 4 to 5 times slower.
//
// clearUpper() executes VZEROUPPER where the processor and the system support AVX and does
// nothing elsewhere; the build needs no processor beyond the x86-64 baseline. It costs a few
// nanoseconds: call it where numeric work starts after other code has run (a CALCULATE, a
// chain of the uncertainty analysis), not in inner loops.

namespace vectorstate {

// Marks the upper halves of YMM0-15 clean (VZEROUPPER) on processors with AVX; no effect on
// the values the program uses, which live in the lower 128 bits.
void clearUpper() noexcept;

} // namespace vectorstate
