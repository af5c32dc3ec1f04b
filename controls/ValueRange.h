#pragma once

// The Min/Max/Value rule shared by the controls that show a value in a range: Min stays
// below Max, and Value inside [Min, Max].
class ValueRange {
  public:
    ValueRange(int& min, int& max, int& value) : min_(min), max_(max), value_(value) {}

    // Each returns whether it changed anything; a Min not below Max (or a Max not above
    // Min) is ignored, and Value is brought into the new range.
    bool SetMin(int min);
    bool SetMax(int max);
    // Value clamped into the range; returns whether Value took a new value.
    bool SetValue(int value);
    // After reading a saved form: an empty range becomes 0..100 and Value is clamped.
    void Repair();

    // Max above Min (not so only in a half-read form).
    bool HasSpan() const { return HasSpan(min_, max_); }
    double Scaled(double scale) const { return Scaled(min_, max_, value_, scale); }
    int Percentage() const { return Percentage(min_, max_, value_); }

    static bool HasSpan(int min, int max);
    // Where value stands in [min, max] on a scale of 0 to `scale` (0 for an empty range).
    static double Scaled(int min, int max, int value, double scale);
    // Scaled to 100, rounded to a whole percent.
    static int Percentage(int min, int max, int value);

  private:
    int& min_;
    int& max_;
    int& value_;
};
