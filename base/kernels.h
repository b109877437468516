// The vector loops of the decoder and of the row reduction are compiled for
// three levels of the processor's instruction set, and each call runs the best level the
// processor has, found once at start-up (as libjpeg-turbo picks its SIMD code
// at run time): AVX2; SSE2, always there on 64-bit processors; and the plain
// set that the 32-bit Windows build assumes. Every level computes the same
// integers, so the pictures are the same bytes on every processor.
//
// A loop is written once, as an always-inlined body, and KERNEL_LEVELS makes
// the function that calls it compiled at each level. Loops written with SSE2
// intrinsics live in files of their own, compiled for SSE2 everywhere.
#pragma once

enum KernelLevel { kKernelPlain, kKernelSse2, kKernelAvx2 };

// The best level of this processor.
KernelLevel BestKernelLevel();
// The level the loops run at: the best, unless a test chose a lower one
// (before any decoding thread starts).
extern KernelLevel KernelLevelInUse;

#define KERNEL_BODY static inline __attribute__((always_inline))

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
// name params: the function that runs name##Body args at the level in use.
#define KERNEL_LEVELS(name, params, args)                         \
    __attribute__((target("avx2"))) static void name##Avx2 params \
    {                                                             \
        name##Body args;                                          \
    }                                                             \
    __attribute__((target("sse2"))) static void name##Sse2 params \
    {                                                             \
        name##Body args;                                          \
    }                                                             \
    static void name params                                       \
    {                                                             \
        switch (KernelLevelInUse) {                               \
        case kKernelAvx2: name##Avx2 args; break;                 \
        case kKernelSse2: name##Sse2 args; break;                 \
        default: name##Body args; break;                          \
        }                                                         \
    }
#else
#define KERNEL_LEVELS(name, params, args) \
    static void name params               \
    {                                     \
        name##Body args;                  \
    }
#endif
