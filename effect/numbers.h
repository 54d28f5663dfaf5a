// The one number-to-text and text-to-number rule of the framework, shared by
// parameters, the text readers and the editor's read-outs. Pure functions,
// callable from any thread except the audio thread (formatting is not
// real-time safe).
#pragma once

namespace Zorv {

// Writes x with `decimals` fixed decimals (clamped to 0..20) into out, bounded
// by size; infinities print as "-Inf" and "Inf".
void formatNumber(char* out, int size, int decimals, double x);

// "-Inf" and "Inf" (any case) give the infinities; otherwise strtod's longest
// valid prefix, 0 when there is none or text is null.
double parseNumber(const char* text);

}  // namespace Zorv
