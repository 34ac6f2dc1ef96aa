# Sourced: make_link, for the setup's pictures and its end-to-end case.
# A shell link whose target is a local path (header, then the link's
# information with the volume and the path), as Explorer makes one.
make_link() {  # make_link <file.lnk> <C:\target>
  perl -e '
    my ($out, $target) = @ARGV;
    my $clsid = pack("H*", "0114020000000000c000000000000046");
    my $header = pack("V a16 V V Q< Q< Q< V V V v v V V", 0x4C, $clsid, 2, 0x20, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    my $volume = pack("V V V V", 0x11, 3, 0, 0x10) . "\0";
    my $base = "$target\0";
    my $suffixAt = 0x1C + length($volume) + length($base);
    my $info = pack("V V V V V V V", $suffixAt + 1, 0x1C, 1, 0x1C, 0x1C + length($volume), 0, $suffixAt)
      . $volume . $base . "\0";
    open(my $f, ">:raw", $out) or die; print $f $header, $info, "\0\0\0\0";
  ' "$1" "$2"
}
