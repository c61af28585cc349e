#pragma once

// Pure functions: any thread, audio thread included.

// ln 20 and ln 20000, correctly rounded, so that every compiler and library
// yields the same curve bits.
constexpr double kLn20 = 2.995732273553991;
constexpr double kLn20000 = 9.903487552536127;

// Exponential sweep from 20 (x = 0) to 20000 (x = 1), in double precision.
double expoSweep(double x);

// The sweep as a frequency in Hz, converted to single precision once at the end.
float getExpo(float x);
