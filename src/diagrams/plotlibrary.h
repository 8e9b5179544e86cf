#pragma once
// QCustomPlot's header, included with Qt's keyword macros (signals, slots, emit, foreach) that
// it uses and this project otherwise turns off (QT_NO_KEYWORDS).

#include <QtGlobal>

#pragma push_macro("signals")
#pragma push_macro("slots")
#pragma push_macro("emit")
#pragma push_macro("foreach")
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define emit Q_EMIT
#define foreach Q_FOREACH
#include <qcustomplot.h>
#pragma pop_macro("foreach")
#pragma pop_macro("emit")
#pragma pop_macro("slots")
#pragma pop_macro("signals")
