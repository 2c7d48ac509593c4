// main() of every test executable. Under Wine the exit status of a process that
// dies of an unhandled exception is not reliable (it is sometimes 0), so a crash
// is turned into a definite failure here: the filter reports it and ends the
// process with a non-zero status before any debugger is involved.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>

static LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "\nCRASH: exception 0x%08lX at %p\n",
                 (unsigned long)info->ExceptionRecord->ExceptionCode,
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(ReportCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
