#pragma once
// The two tower arrangements. In a counter-flow tower the air rises through the fill against
// the falling water; in a cross-flow tower it flows sideways across it.

enum class Arrangement { CounterFlow, CrossFlow };
