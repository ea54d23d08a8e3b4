#pragma once
// The hot parsers (call files, XML) carry a second build of their inner
// loops for x86-64 processors with AVX2 and BMI2 (nearly every one since
// 2013), chosen at run time, so the program itself stays plain x86-64.

#if defined(__x86_64__) && defined(__GNUC__)
#define QGM_WIDE_PATHS 1
// The attribute that builds a function for those processors.
#define QGM_WIDE_TARGET gnu::target("avx2,bmi,bmi2,popcnt")
#endif

// The intrinsics of both builds.
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if QGM_WIDE_PATHS
#include <immintrin.h>
#endif

namespace qgm {

// Whether the wide builds may run here: the processor has AVX2, BMI1, BMI2
// and POPCNT (and the system saves AVX state), and tests have not turned
// them off.
bool UseWidePaths();
// For tests: runs the plain builds on any processor while set.
void ForcePlainPaths(bool plain);

}  // namespace qgm
