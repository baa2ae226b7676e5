#pragma once
// libcurl must be initialised once per process before the first handle is
// made; every transfer client calls this first.
namespace tarvelon {

void EnsureCurlGlobalInit();

}  // namespace tarvelon
