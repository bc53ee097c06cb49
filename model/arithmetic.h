#pragma once

#include <stdexcept>

// Real arithmetic that raises the errors a user is shown instead of
// producing infinities or NaNs. Intermediate values are long double
// (80-bit extended on x86-64); stored values are double.
namespace model {

using Real = long double;

class ArithmeticError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kDivisionByZero = "Floating point division by zero";
inline constexpr const char* kInvalidOperation = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";

// x / y. A zero divisor raises division by zero, or invalid operation for 0/0.
Real Divide(Real x, Real y);

// Natural logarithm. Zero raises division by zero, a negative value invalid operation.
Real Ln(Real x);

// e^x; raises overflow when the result does not fit.
Real Exp(Real x);

// base^exponent as a real power: 0^0 = 1, 0^y = 0 for y > 0, an integral
// exponent takes any base, a negative base with a non-integral exponent
// raises invalid operation, 0 to a negative power division by zero.
Real Power(Real base, Real exponent);

// Checks a product, sum or difference: raises overflow on an infinite
// result and invalid operation on NaN.
Real Checked(Real value);

// Stores an intermediate as double; raises overflow when it does not fit.
double ToDouble(Real value);

}  // namespace model
