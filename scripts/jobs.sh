# The parallel jobs of the scripts' builds and ctest runs: ZN_JOBS when set (a
# machine shared with other builds wants fewer), else every processor. Sourced
# by every script that builds or runs ctest; leaves the number in ZN_JOBS.
ZN_JOBS=${ZN_JOBS:-$(nproc)}
case $ZN_JOBS in
  '' | *[!0-9]* | 0*)
    echo "ZN_JOBS must be a whole number of jobs from 1 up, not '$ZN_JOBS'" >&2
    exit 2
    ;;
esac
