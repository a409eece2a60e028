#include "face/face_fit.h"

#include <algorithm>

namespace {

int32_t Wrap(uint32_t bits) { return static_cast<int32_t>(bits); }

int32_t WrappingProduct(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

int32_t WrappingDifference(int32_t a, int32_t b) { return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

// Truncating division; the one quotient that does not fit (minimum / -1) wraps to itself.
int32_t Quotient(int32_t dividend, int32_t divisor) {
  if (divisor == -1) return WrappingDifference(0, dividend);
  return dividend / divisor;
}

}  // namespace

int32_t WidthFitHeight(int32_t fontHeight, int32_t textWidth, int32_t textHeight, int32_t surfaceWidth) {
  if (textWidth == 0) return fontHeight;
  return Quotient(WrappingProduct(textHeight, surfaceWidth), textWidth);
}

int32_t SecondAdjustment(int32_t fontHeight, int32_t textWidth, int32_t textHeight, int32_t surfaceHeight) {
  if (textHeight == 0) return fontHeight;
  const int32_t q = Quotient(WrappingProduct(textWidth, surfaceHeight), textHeight);
  return q < fontHeight ? q : fontHeight;
}

int32_t CenteredStart(int32_t surface, int32_t text) { return Quotient(WrappingDifference(surface, text), 2); }

bool InkInsideRows(const InkExtent& ink, int32_t surfaceHeight) {
  if (ink.InkBottom <= ink.InkTop) return true;  // nothing inked
  const int64_t y = CenteredStart(surfaceHeight, ink.CellHeight);
  return y + ink.InkTop >= 1 && y + ink.InkBottom <= int64_t{surfaceHeight} - 1;
}

int32_t InkFittingHeight(int32_t fittedHeight, int32_t surfaceHeight,
                         const std::function<InkExtent(int32_t fontHeight)>& measure) {
  if (fittedHeight <= 1 || surfaceHeight < 3) return fittedHeight;
  const InkExtent fitted = measure(fittedHeight);
  if (InkInsideRows(fitted, surfaceHeight)) return fittedHeight;

  // Cell and ink grow in proportion to the height, so one measurement predicts the height whose
  // ink just fills the rows; pixel rounding moves the answer by a step or two, which the search
  // below settles with few measurements.
  const int64_t overTop = int64_t{fitted.CellHeight} - 2 * int64_t{fitted.InkTop};
  const int64_t overBottom = 2 * int64_t{fitted.InkBottom} - int64_t{fitted.CellHeight};
  const int64_t need = std::max({overTop, overBottom, int64_t{1}});
  const int64_t estimate = int64_t{fittedHeight} * (int64_t{surfaceHeight} - 2) / need;

  // lo fits (or is 0, below every height); hi does not. Gallop away from the estimate until the
  // answer is bracketed, then halve the bracket.
  int32_t lo = 0;
  int32_t hi = fittedHeight;
  const auto fits = [&](int64_t height) {
    return InkInsideRows(measure(static_cast<int32_t>(height)), surfaceHeight);
  };
  const auto guess = static_cast<int32_t>(std::clamp<int64_t>(estimate, 1, fittedHeight - 1));
  if (fits(guess)) {
    lo = guess;
    for (int64_t step = 1; lo + step < hi; step *= 2) {
      if (!fits(lo + step)) {
        hi = static_cast<int32_t>(lo + step);
        break;
      }
      lo = static_cast<int32_t>(lo + step);
    }
  } else {
    hi = guess;
    for (int64_t step = 1; hi - step > lo; step *= 2) {
      if (fits(hi - step)) {
        lo = static_cast<int32_t>(hi - step);
        break;
      }
      hi = static_cast<int32_t>(hi - step);
    }
  }
  while (hi - lo > 1) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (fits(mid)) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return std::max(lo, 1);
}
