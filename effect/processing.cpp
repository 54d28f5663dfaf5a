// GEffect's block processing: the single-precision path with its scratch,
// the output mapping, and the suspend/resume/block-size hooks that lay the
// scratch out ahead of the audio thread. The audio thread never grows it: a
// longer block than the area holds runs in pieces of what it holds.
#include "effect/effect.h"

namespace Zorv {

namespace {

// Blocks up to this length get their scratch laid out ahead, off the audio thread.
constexpr int kMaxPreparedFrames = 1 << 18;

int clampChannels(int n)
{
    if (n < 0)
        return 0;
    return n < GEffect::kMaxChannels ? n : GEffect::kMaxChannels;
}

bool channelsPresent(void* const* buffers, int n)
{
    if (!buffers)
        return false;
    for (int k = 0; k < n; ++k)
        if (!buffers[k])
            return false;
    return true;
}

}  // namespace

void GEffect::setBlockSize(int32_t size)
{
    AudioEffectX::setBlockSize(size);
    prepareScratch(size);
}

void GEffect::suspend()
{
    resetState();
    refreshEditor();
}

void GEffect::resume()
{
    resetState();
    refreshEditor();
    prepareScratch(blockSize);
    AudioEffectX::resume();
}

void GEffect::prepareScratch(int frames)
{
    if (frames < 1 || frames > kMaxPreparedFrames)
        return;
    const size_t needed = size_t(2 * kMaxChannels) * size_t(frames);
    if (needed <= scratchCapacity)
        return;
    growScratch(needed);
    scratchFrames = -1;
}

void GEffect::growScratch(size_t needed)
{
    double* grown = new double[needed]();  // first: a failure keeps the old area and its size
    delete[] scratch;
    scratch = grown;
    scratchCapacity = needed;
}

int GEffect::layOutScratch(int nIn, int nOut, int frames)
{
    const size_t fit = scratchCapacity / size_t(nIn + nOut);
    const int piece = fit < size_t(frames) ? int(fit) : frames;
    if (nIn == scratchInputs && nOut == scratchOutputs && piece == scratchFrames)
        return piece;
    for (int k = 0; k < nIn; ++k)
        scratchIn[k] = scratch + size_t(k) * size_t(piece);
    for (int k = 0; k < nOut; ++k)
        scratchOut[k] = scratch + size_t(nIn + k) * size_t(piece);
    scratchInputs = nIn;
    scratchOutputs = nOut;
    scratchFrames = piece;
    return piece;
}

void GEffect::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    processFloat(inputs, inputChannels(), outputs, outputChannels(), sampleFrames);
}

void GEffect::processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames)
{
    int nIn = clampChannels(inputChannels());
    int nOut = clampChannels(outputChannels());
    if (sampleFrames < 1 || nIn < 1 || nOut < 1 ||
        !channelsPresent(reinterpret_cast<void* const*>(inputs), nIn) ||
        !channelsPresent(reinterpret_cast<void* const*>(outputs), nOut))
        return;
    processDouble(inputs, nIn, outputs, nOut, sampleFrames);
}

void GEffect::processFloat(float** in, int nIn, float** out, int nOut, int frames)
{
    nIn = clampChannels(nIn);
    nOut = clampChannels(nOut);
    if (frames < 1 || nIn < 1 || nOut < 1 || !channelsPresent(reinterpret_cast<void* const*>(in), nIn) ||
        !channelsPresent(reinterpret_cast<void* const*>(out), nOut))
        return;
    const int piece = layOutScratch(nIn, nOut, frames);
    if (piece < 1)
        return;
    for (int done = 0; done < frames; done += piece) {
        const int n = frames - done < piece ? frames - done : piece;
        for (int k = 0; k < nIn; ++k)
            for (int i = 0; i < n; ++i)
                scratchIn[k][i] = in[k][done + i];
        processDouble(scratchIn, nIn, scratchOut, nOut, n);
        for (int k = 0; k < nOut; ++k)
            for (int i = 0; i < n; ++i)
                out[k][done + i] = float(scratchOut[k][i]);
    }
}

void GEffect::writeOutputFrame(bool stereoIn, bool stereoOut, double* out0, double* out1,
                               double left, double right)
{
    mapOutputFrame(stereoIn, stereoOut, out0, out1, left, right);
}

}  // namespace Zorv
