#pragma once
// The source's diagnostic trace: every failure text of the source passes
// through here. The sink records nothing; it is the hook for a diagnostic log.
void DebugTrace(const char* text);
