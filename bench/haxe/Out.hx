// Printing shared by the benchmark programs: trace under the machine, standard output
// under Haxe's interpreter.
class Out {
    public static function line(s:Dynamic) {
        #if flash
        untyped __global__["trace"](s);
        #else
        Sys.println(s);
        #end
    }
}
