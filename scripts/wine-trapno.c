/* Gives 32-bit Wine's fault handlers the trap number that user-mode emulation leaves out.
 *
 * Where the kernel runs no 32-bit code, the 32-bit Wine loader runs under qemu-user, which
 * delivers SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGTRAP with the context's trap number set
 * to -1.  Wine tells an access violation from an illegal instruction or a divide by zero by
 * that number alone, so without it every fault in a Windows program becomes "illegal
 * instruction" and kills the process (IsBadReadPtr, guard pages, exception handlers).
 *
 * This library is made a needed library of the 32-bit loader, so its sigaction comes before
 * the C library's: for those five signals it installs a wrapper that fills in the missing
 * number from the signal and its si_code, then calls Wine's own handler.  Where the number
 * is present (a kernel that runs 32-bit code) the wrapper changes nothing.
 *
 * Freestanding on purpose: it builds with the 64-bit gcc (-m32 -ffreestanding -nostdlib)
 * against the unpacked i386 libc.so.6, so no i386 development packages are needed.
 */

typedef unsigned int u32;

#define SIGILL 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SA_SIGINFO 4

#define SEGV_MAPERR 1
#define SEGV_ACCERR 2
#define BUS_ADRALN 1
#define FPE_INTDIV 1
#define FPE_INTOVF 2
#define TRAP_TRACE 2

/* The i386 kernel ABI's struct sigaction as glibc declares it. */
typedef struct {
  int si_signo;
  int si_errno;
  int si_code;
} siginfo_head;
typedef void (*info_handler)(int, siginfo_head*, void*);
struct k_sigaction {
  void* handler; /* sa_handler or sa_sigaction */
  u32 mask[32];  /* glibc's 1024-bit sigset_t */
  int flags;
  void (*restorer)(void);
};

/* ucontext_t: uc_flags, uc_link, uc_stack (12 bytes), then the 19 general registers;
 * REG_TRAPNO is register 12. */
#define TRAPNO_OFFSET (4 + 4 + 12 + 12 * 4)

extern void* dlsym(void* handle, const char* name);
#define RTLD_NEXT ((void*)-1l)

typedef int (*sigaction_fn)(int, const struct k_sigaction*, struct k_sigaction*);
static sigaction_fn real_sigaction;
static info_handler wine_handlers[32];

static int trap_number(int sig, int code) {
  switch (sig) {
    case SIGSEGV:
      return (code == SEGV_MAPERR || code == SEGV_ACCERR) ? 14 : 13;
    case SIGBUS:
      return code == BUS_ADRALN ? 17 : 13;
    case SIGILL:
      return 6;
    case SIGFPE:
      return code == FPE_INTDIV ? 0 : code == FPE_INTOVF ? 4 : 16;
    case SIGTRAP:
      return code == TRAP_TRACE ? 1 : 3;
  }
  return 13;
}

static void fill_trap_number(int sig, siginfo_head* info, void* context) {
  int* trapno = (int*)((char*)context + TRAPNO_OFFSET);
  if (*trapno == -1) *trapno = trap_number(sig, info->si_code);
  wine_handlers[sig](sig, info, context);
}

static int wrapped(int sig) {
  return sig == SIGSEGV || sig == SIGBUS || sig == SIGILL || sig == SIGFPE || sig == SIGTRAP;
}

int sigaction(int sig, const struct k_sigaction* act, struct k_sigaction* old) {
  if (!real_sigaction) real_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
  if (!real_sigaction) return -1;
  if (!act || !wrapped(sig) || !(act->flags & SA_SIGINFO)) return real_sigaction(sig, act, old);
  struct k_sigaction ours = *act;
  info_handler previous = wine_handlers[sig];
  wine_handlers[sig] = (info_handler)act->handler;
  ours.handler = (void*)fill_trap_number;
  int rc = real_sigaction(sig, &ours, old);
  if (rc != 0) wine_handlers[sig] = previous;
  /* A caller asking for the old handler gets its own back, not the wrapper. */
  if (rc == 0 && old && old->handler == (void*)fill_trap_number) old->handler = (void*)previous;
  return rc;
}
