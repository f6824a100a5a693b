#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each of them for a while.
#   tools/fuzz.sh [--short | --seconds N] [TARGET...]
# --short runs each target 30 s (what CI does); the default is 600 s. The
# targets are lexer, run, api, diff and codefile. Corpora grow in build/fuzz/corpus-TARGET,
# seeded from the script corpus and fuzz/seeds; findings land in
# build/fuzz/findings-TARGET. The exit status is non-zero when a target found
# anything.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

seconds=600
targets=()
while [ $# -gt 0 ]; do
    case $1 in
        --short) seconds=30 ;;
        --seconds) seconds=$2; shift ;;
        -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
        *) targets+=("$1") ;;
    esac
    shift
done
[ ${#targets[@]} -eq 0 ] && targets=(lexer run api diff codefile)

build=$PWD/build/fuzz
cmake --preset fuzz >/dev/null || exit 1
cmake --build "$build" --target "${targets[@]/%/_fuzz}" --parallel "$(nproc 2>/dev/null || echo 2)" || exit 1

status=0
for target in "${targets[@]}"; do
    corpus=$build/corpus-$target findings=$build/findings-$target home=$build/home-$target
    mkdir -p "$corpus" "$findings" "$home"
    # Seeds from the script corpus, without the ones that build huge values or
    # take seconds (the string doubling, eval recursing to the nesting limit),
    # and the seed scripts; the api target also gets its command streams.
    for seed in tests/scripts/*.tal fuzz/seeds/*.tal; do
        case $seed in
            */limit_big*|*/limit_long*|*/limit_string_doubling*|*/limit_eval_recursion*) ;;
            tests/*) cp -n "$seed" "$corpus"/ ;;
            *) cp -n "$seed" "$corpus/seed_${seed##*/}" ;;
        esac
    done
    [ "$target" = api ] && for seed in fuzz/seeds/api/*.api; do cp -n "$seed" "$corpus"/; done
    # codefile reads a code file after a first byte 0 and a dialog script
    # after a first byte 1: the test dialogs both ways, packed by tallowcod.
    if [ "$target" = codefile ]; then
        cmake --build "$build" --target tallowcod >/dev/null || exit 1
        for rc in tests/dialogs/*.rc; do
            name=${rc##*/}
            { printf '\001'; cat "$rc"; } >"$corpus/seed_${name%.rc}.rc"
            "$build/tallowcod" pack tests/scripts/cf_if_branches.tal "$rc" -o "$build/seed.cod" >/dev/null &&
                { printf '\000'; cat "$build/seed.cod"; } >"$corpus/seed_${name%.rc}.cod"
        done
    fi
    dict=$PWD/fuzz/tallow.dict
    if [ -f "fuzz/$target.dict" ]; then
        dict=$build/$target.dict
        cat fuzz/tallow.dict "fuzz/$target.dict" >"$dict"
    fi
    echo "==== fuzzing $target for $seconds s"
    # The targets keep their registry in a folder of their own; sizes the
    # engine refuses come back as a null allocation, which it reports.
    XDG_CONFIG_HOME=$home \
    ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1:halt_on_error=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/fuzz/${target}_fuzz" "$corpus" -dict="$dict" -max_total_time="$seconds" \
            -timeout=20 -rss_limit_mb=4096 -malloc_limit_mb=3072 -max_len=4096 \
            -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/$target.log"
    rc=$?
    grep -E "^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|Done [0-9]+ runs)" \
        "$build/$target.log"
    if [ $rc -ne 0 ]; then
        echo "fuzz.sh: $target found something (status $rc); see $build/$target.log and $findings" >&2
        tail -40 "$build/$target.log" >&2
        status=1
    fi
done
exit $status
