// OpenSSL's key derivation allocates and frees a few small blocks in each of its 64,000 rounds.
// Under AddressSanitizer every allocation records its call stack and passes through quarantine,
// so that a keyed open of a file costs ten times its CPU: most of the sanitizer run went there.
// OpenSSL is not instrumented, so nothing of ours goes unchecked when its memory comes from
// here instead: blocks of mapped memory, kept in free lists by size and never handed back.
// A library of its own, compiled optimized and without instrumentation (tests/CMakeLists.txt):
// linked into the test program and preloaded into the programs it starts; it acts only in a
// program built with AddressSanitizer.

#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <atomic>
#include <sys/mman.h>

namespace test {
namespace {

constexpr std::size_t Stufe = 16, Stufen = 64, Bahn = std::size_t{1} << 20;  // classes of 16 bytes up to 1 KiB

struct alignas(16) Kopf {
    std::size_t groesse;  // usable bytes
    Kopf* naechster;      // in a free list
};

// A spin lock: held for a few instructions, and a mutex's calls cost more than the rest here.
std::atomic_flag sperre = ATOMIC_FLAG_INIT;
struct Gesperrt {
    Gesperrt() { while (sperre.test_and_set(std::memory_order_acquire)) {} }
    ~Gesperrt() { sperre.clear(std::memory_order_release); }
};
Kopf* frei[Stufen];
char* bahn = nullptr;
std::size_t rest = 0;

Kopf* abbilden(std::size_t n) {
    void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : static_cast<Kopf*>(p);
}

void* holen(std::size_t n, const char*, int) {
    const std::size_t stufe = (n + Stufe - 1) / Stufe;
    if (stufe >= Stufen) {  // rare and large: a mapping of its own
        const std::size_t seiten = (sizeof(Kopf) + n + 4095) & ~std::size_t{4095};
        Kopf* k = abbilden(seiten);
        if (!k) return nullptr;
        k->groesse = seiten - sizeof(Kopf);
        return k + 1;
    }
    const Gesperrt l;
    if (Kopf* k = frei[stufe]) {
        frei[stufe] = k->naechster;
        return k + 1;
    }
    const std::size_t bedarf = sizeof(Kopf) + stufe * Stufe;
    if (rest < bedarf) {
        bahn = reinterpret_cast<char*>(abbilden(Bahn));
        if (!bahn) return rest = 0, nullptr;
        rest = Bahn;
    }
    auto* k = reinterpret_cast<Kopf*>(bahn);
    bahn += bedarf;
    rest -= bedarf;
    k->groesse = stufe * Stufe;
    return k + 1;
}

void freigeben(void* p, const char*, int) {
    if (!p) return;
    Kopf* k = static_cast<Kopf*>(p) - 1;
    const std::size_t stufe = k->groesse / Stufe;
    if (stufe >= Stufen) {
        munmap(k, sizeof(Kopf) + k->groesse);
        return;
    }
    const Gesperrt l;
    k->naechster = frei[stufe];
    frei[stufe] = k;
}

void* vergroessern(void* p, std::size_t n, const char* datei, int zeile) {
    if (!p) return holen(n, datei, zeile);
    const Kopf* k = static_cast<Kopf*>(p) - 1;
    if (n <= k->groesse && n > 0) return p;
    if (n == 0) {
        freigeben(p, datei, zeile);
        return nullptr;
    }
    void* neu = holen(n, datei, zeile);
    if (neu) {
        std::memcpy(neu, p, k->groesse);
        freigeben(p, datei, zeile);
    }
    return neu;
}

// At load, before OpenSSL's first allocation: OpenSSL refuses it later, and everything stays as it was.
__attribute__((constructor)) void einrichten() {
    if (!dlsym(RTLD_DEFAULT, "__asan_init")) return;
    using Setzen = int (*)(void* (*)(std::size_t, const char*, int), void* (*)(void*, std::size_t, const char*, int),
                           void (*)(void*, const char*, int));
    if (auto setzen = reinterpret_cast<Setzen>(dlsym(RTLD_DEFAULT, "CRYPTO_set_mem_functions")))
        setzen(holen, vergroessern, freigeben);
}

}  // namespace

}  // namespace test
