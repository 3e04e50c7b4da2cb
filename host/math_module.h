// The framework's math module.
#pragma once

int Abs(int value);
float Abs(float value);  // -0.0 stays -0.0: only values below 0 are negated
