#include "Platform/Gdiplus/ResampleArea.h"

#include "Platform/Gdiplus/PixelBuffer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Platform::Gdiplus {

namespace {

// The source pixels that one target pixel covers along one axis, with their shares.
struct Span {
    int first = 0;
    std::size_t weightIndex = 0;
    int count = 0;
};

struct Axis {
    std::vector<Span> spans;
    std::vector<float> weights;
};

Axis MakeAxis(int sourceSize, int targetSize)
{
    Axis axis;
    axis.spans.resize(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int u = 0; u < targetSize; ++u) {
        const double begin = u * scale;
        const double end = std::min((u + 1) * scale, static_cast<double>(sourceSize));
        Span& span = axis.spans[static_cast<std::size_t>(u)];
        span.first = std::min(static_cast<int>(begin), sourceSize - 1);
        span.weightIndex = axis.weights.size();
        for (int i = span.first; i < sourceSize && i < end; ++i) {
            const double covered = std::min(end, i + 1.0) - std::max(begin, static_cast<double>(i));
            axis.weights.push_back(static_cast<float>(covered / (end - begin)));
            ++span.count;
        }
    }
    return axis;
}

// Sums of blue, green and red times alpha, and of alpha, per target column.
void ReduceRow(const std::uint8_t* source, const Axis& axis, float* target)
{
    for (const Span& span : axis.spans) {
        float sums[4] = {};
        const std::uint8_t* pixel = source + 4 * span.first;
        const float* weight = axis.weights.data() + span.weightIndex;
        for (int i = 0; i < span.count; ++i, pixel += 4) {
            const float alphaWeight = weight[i] * pixel[3];
            sums[0] += alphaWeight * pixel[0];
            sums[1] += alphaWeight * pixel[1];
            sums[2] += alphaWeight * pixel[2];
            sums[3] += alphaWeight;
        }
        std::copy(sums, sums + 4, target);
        target += 4;
    }
}

std::uint8_t ToByte(float value)
{
    return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

void StoreRow(const float* sums, int width, std::uint8_t* target)
{
    for (int x = 0; x < width; ++x, sums += 4, target += 4) {
        const float alpha = sums[3];
        const float unweight = alpha > 0 ? 1.0f / alpha : 0.0f;
        target[0] = ToByte(sums[0] * unweight);
        target[1] = ToByte(sums[1] * unweight);
        target[2] = ToByte(sums[2] * unweight);
        target[3] = ToByte(alpha);
    }
}

} // namespace

std::unique_ptr<PixelBuffer> ResampleArea(const PixelBuffer& source, int width, int height)
{
    std::unique_ptr<PixelBuffer> target = PixelBuffer::Create(width, height);
    if (!target)
        return nullptr;
    const Axis columns = MakeAxis(source.Width(), width);
    const Axis rows = MakeAxis(source.Height(), height);
    // Source rows are reduced to the target's width as the target rows need them; a
    // row shared by two target rows is reduced twice rather than kept.
    const std::size_t rowFloats = static_cast<std::size_t>(width) * 4;
    std::vector<float> reduced(rowFloats);
    std::vector<float> sums(rowFloats);
    for (int v = 0; v < height; ++v) {
        const Span& span = rows.spans[static_cast<std::size_t>(v)];
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int i = 0; i < span.count; ++i) {
            const float weight = rows.weights[span.weightIndex + static_cast<std::size_t>(i)];
            ReduceRow(source.Row(span.first + i), columns, reduced.data());
            for (std::size_t k = 0; k < rowFloats; ++k)
                sums[k] += weight * reduced[k];
        }
        StoreRow(sums.data(), width, target->Row(v));
    }
    return target;
}

} // namespace Platform::Gdiplus
