#include "model/arithmetic.h"

#include <cfloat>
#include <cmath>

namespace model {

Real Checked(Real value)
{
    if (std::isnan(value))
        throw ArithmeticError(kInvalidOperation);
    if (std::isinf(value))
        throw ArithmeticError(kOverflow);
    return value;
}

double ToDouble(Real value)
{
    Checked(value);
    if (std::fabs(value) > static_cast<Real>(DBL_MAX))
        throw ArithmeticError(kOverflow);
    return static_cast<double>(value);
}

Real Divide(Real x, Real y)
{
    if (y == 0)
        throw ArithmeticError(x == 0 || std::isnan(x) ? kInvalidOperation : kDivisionByZero);
    return Checked(x / y);
}

Real Ln(Real x)
{
    if (x == 0)
        throw ArithmeticError(kDivisionByZero);
    if (x < 0 || std::isnan(x))
        throw ArithmeticError(kInvalidOperation);
    return Checked(std::log(x));
}

Real Exp(Real x)
{
    return Checked(std::exp(x));
}

Real Power(Real base, Real exponent)
{
    if (exponent == 0)
        return 1;
    if (base == 0) {
        if (exponent > 0)
            return 0;
        throw ArithmeticError(kDivisionByZero);
    }
    if (base < 0 && std::trunc(exponent) != exponent)
        throw ArithmeticError(kInvalidOperation);
    // e^(y·ln x) in extended precision: several times faster than powl, and
    // exact to far more digits than the double it is stored in.
    return Checked(base > 0 ? std::exp(exponent * std::log(base)) : std::pow(base, exponent));
}

}  // namespace model
