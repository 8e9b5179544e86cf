#pragma once
// The controls of each Problem, by the names the windows give them: first the entry fields in
// the window's control order, then the labels. The engine keeps one text per control; the
// calculations name them through the enumerations below (cf1::Text1 is Form5's Text1).

#include <array>
#include <string_view>

namespace engine {

// clang-format off
#define CTAUDIT_FORM5(X) \
    X(Text1) X(Text8) X(Text3) X(Text4) X(Text5) X(Text6) X(Text7) \
    X(lbl2) X(lbl10) X(lbl18) X(lbl19) X(lbl20) X(lbl13) X(lbl14) X(lbl15) X(lbl16) X(lbl17) \
    X(lbl9) X(lbl11) X(lbl12)
#define CTAUDIT_FORM2(X) \
    X(Text13) X(Text15) X(Text11) X(Text12) X(Text14) X(Text16) \
    X(l5) X(l25) X(l26) X(l27) X(l3) X(l4) X(l1) X(l2) X(l22) X(l23) X(l24) \
    X(l17) X(l18) X(l19) X(l20) X(l21) X(l6) X(l7) X(l8) X(l9) X(l10)
#define CTAUDIT_FORM10(X) \
    X(Text18) X(Text19) \
    X(l1) X(l3) X(l4) X(l8) X(l5) X(l6) X(l7) X(l2) X(l10) X(l9) X(l11) X(l12) \
    X(l20) X(l21) X(l22) X(l23) X(l13) X(l14) X(l15) \
    X(l29) X(l30) X(l31) X(l32) X(l33) X(l24) X(l25) X(l26) X(l28) X(l27)
#define CTAUDIT_FORM3(X) \
    X(Text1) X(Text29) X(Text2) X(Text3) \
    X(l4) X(l5) X(l6) X(l7) X(l20) X(l8) X(l9) \
    X(l21) X(l22) X(l23) X(l24) X(l28) X(l25) X(l26) X(l27) \
    X(l10) X(l11) X(l12) X(l13) X(l14) X(l15) X(l16) X(l17) X(l18) X(l19)
#define CTAUDIT_FORM8(X) \
    X(Text1) X(Text8) X(Text3) X(Text4) X(Text5) X(Text6) X(Text7) \
    X(lbl2) X(lbl10) X(lbl16) X(lbl17) X(lbl18) X(lbl11) X(lbl12) X(lbl13) X(lbl14) X(lbl15) \
    X(lbl9) X(lbl19) X(lbl20)
#define CTAUDIT_FORM6(X) \
    X(Text16) X(Text17) X(Text14) X(Text15) X(Text18) X(Text19) \
    X(l1) X(l8) X(l5) X(l20) X(l6) X(l9) X(l3) X(l4) X(l10) X(l28) X(l2) X(l11) X(l12) X(l13) \
    X(l50) X(l51) X(l25) X(l26) X(l27) X(l7) X(l21) X(l22) X(l23) X(l24)
#define CTAUDIT_FORM9(X) \
    X(Text18) X(Text19) \
    X(l1) X(l3) X(l4) X(l8) X(l5) X(l6) X(l7) X(l2) X(l10) X(l9) X(l11) X(l12) \
    X(l20) X(l21) X(l22) X(l23) X(l13) X(l14) X(l15) \
    X(l29) X(l30) X(l31) X(l32) X(l33) X(l24) X(l25) X(l26) X(l28) X(l27)
#define CTAUDIT_FORM4(X) \
    X(Text7) X(Text4) X(Text6) X(Text5) \
    X(Label11) X(l5) X(l6) X(l7) X(l20) X(l8) X(l9) \
    X(l21) X(l22) X(l23) X(l24) X(l28) X(l25) X(l26) X(l27) \
    X(l10) X(l11) X(l12) X(l13) X(l14) X(l15) X(l16) X(l17) X(l18) X(l19)
// clang-format on

#define CTAUDIT_ENUM(name) name,
#define CTAUDIT_NAME(name) std::string_view(#name),
#define CTAUDIT_CONTROLS(ns, list)                                                                 \
    namespace ns {                                                                                 \
    enum Control : int { list(CTAUDIT_ENUM) kCount };                                              \
    inline constexpr std::array<std::string_view, kCount> kNames{list(CTAUDIT_NAME)};              \
    }

CTAUDIT_CONTROLS(cf1, CTAUDIT_FORM5)  // counter flow, Problem 1: Form5
CTAUDIT_CONTROLS(cf2, CTAUDIT_FORM2)  // counter flow, Problem 2: Form2
CTAUDIT_CONTROLS(cf3, CTAUDIT_FORM10) // counter flow, Problem 3: Form10
CTAUDIT_CONTROLS(cf4, CTAUDIT_FORM3)  // counter flow, Problem 4: Form3
CTAUDIT_CONTROLS(xf1, CTAUDIT_FORM8)  // cross flow, Problem 1: Form8
CTAUDIT_CONTROLS(xf2, CTAUDIT_FORM6)  // cross flow, Problem 2: Form6
CTAUDIT_CONTROLS(xf3, CTAUDIT_FORM9)  // cross flow, Problem 3: Form9
CTAUDIT_CONTROLS(xf4, CTAUDIT_FORM4)  // cross flow, Problem 4: Form4

#undef CTAUDIT_CONTROLS
#undef CTAUDIT_NAME
#undef CTAUDIT_ENUM

} // namespace engine
