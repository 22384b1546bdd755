#include "interfaces/containers/NCContainerSupport.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace ncdetail {

void* AllocateValueBlock(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= kLargeValueBlock) {
        void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) throw std::bad_alloc();
        // Only a hint: without huge pages the block works the same.
        madvise(block, bytes, MADV_HUGEPAGE);
        return block;
    }
#endif
    return ::operator new(bytes);
}

void FreeValueBlock(void* block, std::size_t bytes) noexcept {
    if (!block) return;
#ifdef __linux__
    if (bytes >= kLargeValueBlock) {
        munmap(block, bytes);
        return;
    }
#endif
    ::operator delete(block);
}

}  // namespace ncdetail
