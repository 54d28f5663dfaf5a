// GEffect's block processing: the single-precision path with its scratch,
// the output mapping, and the suspend/resume/block-size hooks that lay the
// scratch out ahead of the audio thread.
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

void GEffect::layOutScratch(int nIn, int nOut, int frames)
{
    const size_t needed = size_t(nIn + nOut) * size_t(frames);
    if (needed <= scratchCapacity && nIn == scratchInputs && nOut == scratchOutputs &&
        frames == scratchFrames)
        return;
    if (needed > scratchCapacity)  // a host sent more than it announced
        growScratch(needed);
    for (int k = 0; k < nIn; ++k)
        scratchIn[k] = scratch + size_t(k) * size_t(frames);
    for (int k = 0; k < nOut; ++k)
        scratchOut[k] = scratch + size_t(nIn + k) * size_t(frames);
    scratchInputs = nIn;
    scratchOutputs = nOut;
    scratchFrames = frames;
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
    layOutScratch(nIn, nOut, frames);
    for (int k = 0; k < nIn; ++k)
        for (int i = 0; i < frames; ++i)
            scratchIn[k][i] = in[k][i];
    processDouble(scratchIn, nIn, scratchOut, nOut, frames);
    for (int k = 0; k < nOut; ++k)
        for (int i = 0; i < frames; ++i)
            out[k][i] = float(scratchOut[k][i]);
}

void GEffect::writeOutputFrame(bool stereoIn, bool stereoOut, double* out0, double* out1,
                               double left, double right)
{
    mapOutputFrame(stereoIn, stereoOut, out0, out1, left, right);
}

}  // namespace Zorv
