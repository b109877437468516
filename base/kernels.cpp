#include "base/kernels.h"

KernelLevel BestKernelLevel()
{
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        return kKernelAvx2;
    if (__builtin_cpu_supports("sse2"))
        return kKernelSse2;
#endif
    return kKernelPlain;
}

KernelLevel KernelLevelInUse = BestKernelLevel();
