// A typed integer loop: adds, multiplies, shifts and xors on locals.
class IntLoop {
    static function main() {
        var s:Int = 0;
        var i:Int = 0;
        while (i < 20000000) {
            s = (s + i * 3) ^ (i >> 1);
            i++;
        }
        Out.line(s);
    }
}
