#!/usr/bin/env bash
# Fixture of test_app_core: a tree with host symbolic links inside the sandbox
# (Wine cannot make links itself). SANDBOX/tmp/app-links/:
#   outside/precious.txt, root/dirlink -> ../outside, rootlink -> outside
set -eu
base="$1/tmp/app-links"
rm -rf "$base"
mkdir -p "$base/outside" "$base/root"
echo p >"$base/outside/precious.txt"
ln -s ../outside "$base/root/dirlink"
ln -s outside "$base/rootlink"
