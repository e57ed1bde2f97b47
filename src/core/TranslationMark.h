#pragma once

// The translators' tool (lupdate) takes every text marked so into the
// translations, under the context named; in the program the marker is only
// the text. Spelled as Qt spells it, so the windows may include both.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
