#pragma once
// Tests of files that may not be read or written run as root too: root
// passes every permission check until it gives up the capabilities that
// override them. Given up for this process and every program it starts.
#include <initializer_list>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velluno::test {

// True when permissions now bind this process (as they do any user's).
inline bool DropFileAccessOverride()
{
    if (::geteuid() != 0)
        return true;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned mask = ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    data[0].effective &= mask;
    data[0].permitted &= mask;
    data[0].inheritable &= mask;
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace velluno::test
